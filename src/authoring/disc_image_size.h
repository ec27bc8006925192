// SPDX-License-Identifier: GPL-3.0-or-later
// The size of the disc a DVD folder makes, measured the way the disc writer builds its
// image (genisoimage -dvd-video -udf), not estimated.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// Sectors of 2048 bytes of the image of `dvdFolder` (the folder that holds VIDEO_TS);
// -1 with the reason in `why` when it could not be measured. `scratch` is a file the
// tool's answer goes through.
std::int64_t DiscImageSectors(const std::string& dvdFolder, const std::string& scratch, std::string& why);

}  // namespace vantrel
