// SPDX-License-Identifier: GPL-3.0-or-later
// A subpicture as the multiplexer reads it: an RGBA PNG whose pixels take at most the
// four colours of the subpicture, index 0 fully transparent.
#pragma once

#include <string>

#include "subtitles/subpicture_renderer.h"

namespace vantrel {

// False when the file cannot be written.
bool WriteSubpicturePng(const std::string& path, const SubpictureBitmap& bitmap);

}  // namespace vantrel
