// SPDX-License-Identifier: GPL-3.0-or-later
// How a title's pictures reach the disc, known before anything is made: kept as the file
// has them, or encoded into the disc's frame, where a film of another shape lies between
// black bars. The run and the subtitle page's preview both ask here, so the preview shows
// the frame the disc will have.
#pragma once

#include <string>
#include <vector>

#include "base/tv_standard.h"
#include "authoring/title_harmony.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "subtitles/subpicture_geometry.h"

namespace vantrel {

class RunQuestion;
struct AppSettings;

// Whether the run repairs a title file before authoring: it has no navigation packs, it is
// an AVI or WMV file, every title is to be converted (`convertBefore`), or its pictures do
// not suit a disc of `standard` (then `note`, when given, says why in the user's words).
bool TitleNeedsRepair(const std::string& source, TvStandard standard, bool convertBefore, RunQuestion& questions,
                      std::string* note = nullptr);

struct TitleFrame {
  bool encoded = false;  // the pictures are encoded from the source, not copied
  bool wide = false;     // the title is 16:9
  // The part of the disc's 720-wide frame the film fills; the whole frame when the
  // pictures are the file's own.
  SafeArea film;
};

// The frame of a title of `source` on a disc of `standard`: repaired for `repair` (the
// disc's shape and sound it is made for), or kept as it is when `repair` is null. A file
// that cannot be read is taken as kept.
TitleFrame TitleFrameOf(const std::string& source, TvStandard standard, const DiscTarget* repair);

// The settings that decide how a title is made.
struct TitleMakingChoices {
  TvStandard standard = TvStandard::Pal;
  bool convertBefore = false;  // every title is converted
  int audioCodec = 1;          // the audio encoder setting a repair's sound follows
  int zoom = 1;                // the disc's shape when its titles differ (0 4:3, 1 16:9)
  bool operator==(const TitleMakingChoices&) const = default;
};

TitleMakingChoices TitleMakingChoicesOf(const AppSettings& settings);

// A title as the run's probe finds it: repaired or kept (TitleNeedsRepair), and its facts
// as the run will author it, after repair when it is repaired.
HarmonyTitle AuthoredTitle(const std::string& source, const TitleMakingChoices& choices, RunQuestion& questions,
                           std::string* note = nullptr);

// Title `title` of a list of title files as the run will make it, decided before the run
// as the run decides it: repaired, or converted because the list's titles differ in shape
// or sound (the disc has one of each), or kept.
struct PlannedTitleFrame {
  bool madeAnew = false;  // repaired or converted: the title is a new file
  TitleFrame frame;
  double picturesFrom = 0;  // seconds of the source before the new file's first picture
};
PlannedTitleFrame PlanTitleFrame(const std::vector<std::string>& sources, size_t title,
                                 const TitleMakingChoices& choices);

}  // namespace vantrel
