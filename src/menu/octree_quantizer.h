// SPDX-License-Identifier: GPL-3.0-or-later
// Colour reduction of the button images: an octree quantizer that never yields more
// colours than asked for, and the mapping of every pixel to its nearest palette entry
// without error diffusion (the sub-picture encoder allows only a few colours per image).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/rgb_image.h"

namespace vantrel {

struct PaletteColour {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const PaletteColour&) const = default;
};

struct PalettedImage {
  int width = 0;
  int height = 0;
  std::array<PaletteColour, 16> palette{};  // entries past usedColours are zero
  int usedColours = 0;
  std::vector<std::uint8_t> indices;  // width * height, each < usedColours
};

// Builds a palette of at most `maxColours` (1..16) colours from the image with an octree of
// `colourBits` levels per channel, then maps every pixel to its nearest palette colour.
PalettedImage QuantizeOctree(const RgbImage& image, int maxColours, int colourBits = 8);

}  // namespace vantrel
