// SPDX-License-Identifier: GPL-3.0-or-later
// Reads text subtitles with FFmpeg's demuxers and decoders: files (SRT, ASS/SSA, WebVTT,
// in any character encoding) and the text subtitle streams of a container (MKV, MP4,
// WebM: SubRip, ASS, mov_text, WebVTT).
#pragma once

#include <string>
#include <vector>

#include "subtitles/text_subtitles.h"

namespace vantrel {

// `encodingOverride` (an iconv name) replaces the detected encoding when not empty.
TextSubtitles ReadSubtitleFile(const std::string& path, const std::string& encodingOverride = "");

struct SubtitleStreamInfo {
  int index = -1;        // the stream's index in its container
  std::string codec;     // FFmpeg's codec name ("subrip", "ass", "mov_text", ...)
  std::string language;  // the container's tag, "" when it has none
  bool text = false;     // a text stream (others are pictures)
};

// Every subtitle stream of the source; false with the reason when it cannot be opened.
bool ListSubtitleStreams(const std::string& path, std::vector<SubtitleStreamInfo>* streams,
                         std::string* error);

// The text subtitle stream `streamIndex` of the source (the first text one for -1).
TextSubtitles ReadSubtitleStream(const std::string& path, int streamIndex = -1);

}  // namespace vantrel
