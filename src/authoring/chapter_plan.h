// SPDX-License-Identifier: GPL-3.0-or-later
// Where a title's chapters begin: the fixed marks every disc had (0, 15, 30, 45 and 60
// minutes), one every N minutes, the user's own list of times, or the marks the source's
// container carries. A chapter never begins within a second of the title's end, where a
// player's "next chapter" would land on nothing.
#pragma once

#include <string>
#include <vector>

#include "project/title_tracks.h"

namespace vantrel {

// A title holds at most 99 chapters.
constexpr size_t kMaxChapters = 99;

// The chapter starts in seconds, ascending, the first 0. `titleSeconds` <= 0 when the
// length is unknown (nothing is dropped at the end then); `sourceMarks` are the source's
// chapter starts (ReadSourceChapterMarks) for a plan of ChapterMode::kSourceMarks.
std::vector<double> ChapterTimes(const ChapterPlan& plan, double titleSeconds,
                                 const std::vector<double>& sourceMarks = {});

// The chapter starts of the source's container, ascending; false with the reason when the
// file cannot be read. A source without chapters gives an empty list.
bool ReadSourceChapterMarks(const std::string& path, std::vector<double>* marks, std::string* error);

// The chapters attribute of a title's vob element in dvd.xml: "0,15:00,30:00,45:00,1:00:00"
// for the fixed plan; fractions of a second to the millisecond.
std::string ChaptersText(const std::vector<double>& times);

}  // namespace vantrel
