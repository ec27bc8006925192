// SPDX-License-Identifier: GPL-3.0-or-later
// A plain 24-bit picture in memory: rows top to bottom, pixels as R, G, B bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h) * 3, 0) {}
  bool Empty() const { return width <= 0 || height <= 0; }
  std::uint8_t* Row(int y) { return pixels.data() + size_t(y) * size_t(width) * 3; }
  const std::uint8_t* Row(int y) const { return pixels.data() + size_t(y) * size_t(width) * 3; }
};

}  // namespace vantrel
