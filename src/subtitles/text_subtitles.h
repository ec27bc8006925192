// SPDX-License-Identifier: GPL-3.0-or-later
// A text subtitle track as FFmpeg's decoders hand it over: ASS events with their times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

struct SubtitleCue {
  std::int64_t startMs = 0;
  std::int64_t endMs = 0;
  // One ASS event as a Matroska block carries it:
  // "ReadOrder,Layer,Style,Name,MarginL,MarginR,MarginV,Effect,Text".
  std::string event;
};

struct TextSubtitles {
  bool ok = false;
  std::string error;
  std::string encoding;  // the file's character encoding ("" for a stream of a container)
  std::string language;  // the container's language tag, when it has one
  // True for ASS/SSA sources: their own header (PlayRes, styles) is drawn as written.
  // Other formats come with FFmpeg's stock header, which the disc's style replaces.
  bool ownStyles = false;
  std::string assHeader;
  std::vector<SubtitleCue> cues;  // in start order
};

}  // namespace vantrel
