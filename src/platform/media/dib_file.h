// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a picture as an uncompressed bottom-up BMP file (14-byte file header, 40-byte
// info header, rows padded to 4 bytes).
#pragma once

#include <string>

#include "platform/media/ffmpeg_file.h"

namespace vantrel::media {

// False when the file cannot be created or fully written.
bool WriteDibFile(const std::string& path, const DibFrame& frame);

}  // namespace vantrel::media
