// SPDX-License-Identifier: GPL-3.0-or-later
// The sound streams a file carries, as the properties sheet offers them for a title's
// sound tracks: each stream's index, format, channels and the language its container tags.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct SoundStreamInfo {
  int index = -1;        // the stream's index in its file
  std::string codec;     // FFmpeg's codec name ("ac3", "mp2", "aac", ...)
  int channels = 0;
  std::string language;  // the container's tag as written ("eng", "chi"), "" none
};

// False with the reason when the file cannot be read; a file without sound gives an empty
// list. Only the file's header is read.
bool ListSoundStreams(const std::string& path, std::vector<SoundStreamInfo>* streams, std::string* error);

}  // namespace vantrel
