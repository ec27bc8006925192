// What planning a disc needs to know of one title before it is repaired: its length, how
// many picture pixels per second its DVD encode carries (bars left out), the sound rate an
// encode writes, and whether the encoder would copy it as it is rather than encode it.
#pragma once

#include <string>

namespace vantrel {

struct DvdTitleFacts {
  double seconds = 0;
  double pixelsPerSecond = 0;
  int audioBitRate = 0;
  bool copied = false;
};

// False when the file cannot be read as a video.
bool DvdTitleFactsOf(const std::string& path, bool ntsc, DvdTitleFacts& facts);

}  // namespace vantrel
