// SPDX-License-Identifier: GPL-3.0-or-later
// The menu's image files: the page picture as JPEG, the button images as 4-bit palette PNG.
#pragma once

#include <string>

#include "base/rgb_image.h"
#include "menu/octree_quantizer.h"

namespace vantrel {

// Baseline JPEG at the library's default quality. False when the file cannot be written.
bool WriteJpeg(const std::string& path, const RgbImage& image);
// PNG of colour type palette, 4 bits per pixel, with all 16 palette entries.
bool WritePalettePng(const std::string& path, const PalettedImage& image);

}  // namespace vantrel
