// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a title can be authored at all, asked of every title before a run encodes
// anything: the file can be read, has a video stream, and a picture of it can be decoded.
#pragma once

#include <string>

#include "base/translation.h"

namespace vantrel {

// The reason given for a file that can be read but whose pictures cannot be decoded.
inline constexpr const char* kUndecodableReason = N_("无法解码视频中的任何画面");

// "" when the title can be used, else why not (the system's reason for a file that cannot
// be read).
std::string TitleUnusableReason(const std::string& path);

}  // namespace vantrel
