// SPDX-License-Identifier: GPL-3.0-or-later
// Adding titles from the windows: the files are loaded on a worker thread while a small
// modal window says which one is loading and the event loop runs on. A refused file or a
// missing decoder is shown as it comes, one message after the other, over that window;
// 取消 (or Esc) stops after the file in hand, keeping the files loaded so far.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "media/add_titles.h"

class wxWindow;

namespace vantrel::app {

// What the user is told of one file while titles load.
struct TitleLoadingNotice {
  std::string path;
  std::string reason;  // why the file is refused; "" for a missing decoder
};
using TitleNoticeShower = std::function<void(wxWindow* parent, const TitleLoadingNotice& notice)>;

std::vector<LoadedTitle> LoadTitlesWithProgress(wxWindow* parent, ThumbnailOwner& owner,
                                                const std::vector<TitleFileRequest>& files, int firstRow,
                                                const TitleCheck& check, const TitleNoticeShower& show);

}  // namespace vantrel::app
