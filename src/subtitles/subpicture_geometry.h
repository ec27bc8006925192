// SPDX-License-Identifier: GPL-3.0-or-later
// The picture a title's subtitles are drawn for: its size, its shape and the action-safe
// area inside which every subtitle must lie (5 % of the width and of the height from each
// edge; the vertical margin rounded up to an even line, so both fields see the same area).
#pragma once

#include "base/tv_standard.h"

namespace vantrel {

struct SafeArea {
  int x = 0, y = 0, width = 0, height = 0;
};

struct SubpictureGeometry {
  int width = 720;
  int height = 576;
  bool wide = false;  // 16:9 rather than 4:3
  // The part of the frame the title's pictures fill, bars left out; empty: all of it.
  SafeArea picture{};

  static SubpictureGeometry Of(TvStandard standard, bool wide) {
    return {720, IsNtsc(standard) ? 480 : 576, wide, {}};
  }
  SafeArea ActionSafe() const {
    const int marginX = (width * 5 + 99) / 100;
    int marginY = (height * 5 + 99) / 100;
    marginY += marginY % 2;
    return {marginX, marginY, width - 2 * marginX, height - 2 * marginY};
  }
  SafeArea PictureArea() const { return picture.width > 0 && picture.height > 0 ? picture : SafeArea{0, 0, width, height}; }
  // A stored pixel's width over its height as the player shows it.
  double PixelAspect() const { return (wide ? 16.0 / 9.0 : 4.0 / 3.0) * height / width; }
};

}  // namespace vantrel
