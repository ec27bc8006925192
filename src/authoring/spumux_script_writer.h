// SPDX-License-Identifier: GPL-3.0-or-later
// The spumux script of one menu page: the three button images and every button's
// rectangle with its left/right neighbours, as one line of XML.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/tv_standard.h"

namespace vantrel {

struct MenuPage;

// A sub-picture overlay as data: the three button images and every button with its
// rectangle and its neighbours ("left", "up", ... with the neighbour's name, in order).
struct SpumuxImages {
  std::string normal, highlight, select;
};
struct SpumuxButton {
  std::string name;
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  std::vector<std::pair<std::string, std::string>> links;
};

class SpumuxScriptWriter {
 public:
  // Navigation button areas in the PAL frame; y values are scaled for NTSC.
  static constexpr int kPreviousLeft = 80, kPreviousRight = 220;
  static constexpr int kNextLeft = 500, kNextRight = 680;
  static constexpr int kNavigationTop = 480, kNavigationBottom = 536;

  static std::string Compose(const MenuPage& page, const std::string& intermediateFolder,
                             TvStandard standard);
  // Writes intermediate folder + "menu_mpg_spumux%02d.xml", replacing an earlier file.
  static bool Write(const MenuPage& page, const std::string& intermediateFolder, TvStandard standard);
  static std::string ScriptPath(const std::string& intermediateFolder, int pageNumber);
  // The script of any overlay, as one line of XML; paths are escaped here.
  static std::string ComposeButtons(const SpumuxImages& images, const std::vector<SpumuxButton>& buttons);
};

}  // namespace vantrel
