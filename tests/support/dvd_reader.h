// SPDX-License-Identifier: GPL-3.0-or-later
// An independent reader of authored discs for the tests: libdvdread opens the VIDEO_TS
// folder and tells its titles, chapters and lengths, and the video manager's menus with
// the buttons of their first navigation pack.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::test {

struct DvdTitleFacts {
  int titleSet = 0;
  int chapters = 0;
  double seconds = 0;
  // The subpicture colours of the title's program chain as the IFO holds them (Y, Cr, Cb
  // in the low three bytes), and as 0xRRGGBB a player shows them.
  std::vector<std::uint32_t> paletteYcrcb, paletteRgb;
};

struct DvdMenuFacts {
  double seconds = 0;
  int buttons = 0;
};

struct DvdFacts {
  bool opened = false;
  std::vector<DvdTitleFacts> titles;
  std::vector<DvdMenuFacts> menus;  // the video manager's menu program chains
};

// `folder` holds VIDEO_TS (or is it).
DvdFacts ReadDvd(const std::string& folder);

}  // namespace vantrel::test
