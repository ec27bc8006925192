// SPDX-License-Identifier: GPL-3.0-or-later
// The properties sheet's pages for a title's sound tracks, subtitles and chapters. Each
// works on its own copy; OK stores what it holds in the title.
#pragma once

#include <string>
#include <vector>

#include "authoring/title_frame.h"
#include "base/tv_standard.h"
#include "project/title_record.h"

class wxWindow;

namespace vantrel::app {

class SheetPage {
 public:
  virtual ~SheetPage() = default;
  virtual wxWindow* Window() = 0;
  // Stores the page's choices in the title (OK).
  virtual void Apply(TitleRecord& title) = 0;
};

// The pages belong to `book` (their windows are its children).
SheetPage* NewSoundTracksPage(wxWindow* book, const TitleRecord& title);
// The title's place among the list's title files, for what the run makes of it.
struct TitleInList {
  std::vector<std::string> sources;
  size_t index = 0;
};
SheetPage* NewSubtitlesPage(wxWindow* book, const TitleRecord& title, const TitleMakingChoices& choices,
                            const TitleInList& list);
SheetPage* NewChaptersPage(wxWindow* book, const TitleRecord& title);

}  // namespace vantrel::app
