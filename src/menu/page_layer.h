// SPDX-License-Identifier: GPL-3.0-or-later
// A menu page as the film of a moving menu is built on: the page picture, with or without
// its background, kept losslessly (a PNG with alpha) between the drawing of the pages and
// the making of their films.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/rgb_image.h"

namespace vantrel {

// Premultiplied 0xAARRGGBB pixels, rows top to bottom.
struct PageLayer {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  bool Empty() const { return width <= 0 || height <= 0; }
};

bool WritePageLayer(const std::string& path, const PageLayer& layer);
bool ReadPageLayer(const std::string& path, PageLayer& layer);

// The layer over a picture of its size: opaque pixels replace, transparent ones keep.
void CompositeOver(const PageLayer& layer, RgbImage& picture);
// The layer's colours, where it is opaque (its background drawn).
RgbImage LayerPicture(const PageLayer& layer);

}  // namespace vantrel
