// SPDX-License-Identifier: GPL-3.0-or-later
// What a title carries besides its picture: its sound tracks, its subtitle tracks and
// where its chapters go. Empty lists and the default chapters mean the title's file as it is.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// A sound track of a title: a stream of the title's own file (`source` empty) or a sound
// file the user added, shifted by `offsetMs`.
struct SoundTrack {
  std::string source;
  int stream = -1;        // the stream in its file; -1 the file's first sound
  std::string language;   // ISO 639 code, "" unknown
  int offsetMs = 0;
  bool operator==(const SoundTrack&) const = default;
};

// A subtitle track: a text or picture stream of the title's file (`source` empty) or a
// subtitle file.
struct SubtitleTrack {
  std::string source;
  int stream = -1;
  std::string language;
  std::string encoding;   // a text file's character set; "" detected
  bool shownByDefault = false;
  bool operator==(const SubtitleTrack&) const = default;
};

// Where a title's chapters go.
enum class ChapterMode { kDefault = 0, kEveryMinutes = 1, kTimes = 2, kSourceMarks = 3 };
struct ChapterPlan {
  ChapterMode mode = ChapterMode::kDefault;
  int everyMinutes = 0;
  std::vector<double> times;  // seconds, for kTimes
  bool operator==(const ChapterPlan&) const = default;
};

}  // namespace vantrel
