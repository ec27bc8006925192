// SPDX-License-Identifier: GPL-3.0-or-later
// Where the fixed parts of a menu page go, in the frame of the run's video standard:
// the PAL positions with every y scaled by 5/6 (truncated) for NTSC.
#pragma once

#include "menu/layout_style.h"

namespace vantrel {

// A chapter page's back button, across the middle of the footer band.
inline constexpr int kBackLabelLeft = 290, kBackLabelRight = 430;

struct MenuPageGeometry {
  Rect header;
  Rect pageCounter;
  int headerLineY;
  Rect footer;
  int footerLineY;
  Rect previousLabel;
  Rect nextLabel;
  Rect backLabel;  // a chapter page's way back, between the two page labels
  int lineLeft, lineRight;  // both rules run from x 75 to x 645
};

MenuPageGeometry PageGeometry(bool ntsc);

}  // namespace vantrel
