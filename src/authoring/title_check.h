// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a title can be authored at all, asked of every title before a run encodes
// anything: the file can be read, has a video stream, and a picture of it can be decoded.
#pragma once

#include <string>

namespace vantrel {

// "" when the title can be used, else why not (the system's reason for a file that cannot
// be read).
std::string TitleUnusableReason(const std::string& path);

}  // namespace vantrel
