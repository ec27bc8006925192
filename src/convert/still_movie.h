// SPDX-License-Identifier: GPL-3.0-or-later
// A still picture shown for a while with a sound track, as a DVD MPEG-2 program stream:
// the background movie of a menu.
#pragma once

#include <string>

namespace vantrel {

struct StillMovie {
  std::string picture;  // any picture the FFmpeg decoders read
  std::string sound;    // MPEG-1 Layer II or AC-3 at 48 kHz, copied as it is; may be empty
  double seconds = 2;
  bool ntsc = false;
};

// Writes under a temporary name and renames; false with the reason on failure.
bool RenderStillMovie(const StillMovie& movie, const std::string& output, std::string& error);

}  // namespace vantrel
