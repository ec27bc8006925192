// The spumux script of one menu page: the three button images and every button's
// rectangle with its left/right neighbours, as one line of XML.
#pragma once

#include <string>

namespace vantrel {

struct MenuPage;

class SpumuxScriptWriter {
 public:
  // Navigation button areas in the PAL frame; y values are scaled for NTSC.
  static constexpr int kPreviousLeft = 80, kPreviousRight = 220;
  static constexpr int kNextLeft = 500, kNextRight = 680;
  static constexpr int kNavigationTop = 480, kNavigationBottom = 536;

  static std::string Compose(const MenuPage& page, const std::string& intermediateFolder,
                             bool ntsc);
  // Writes intermediate folder + "menu_mpg_spumux%02d.xml", replacing an earlier file.
  static bool Write(const MenuPage& page, const std::string& intermediateFolder, bool ntsc);
  static std::string ScriptPath(const std::string& intermediateFolder, int pageNumber);
};

}  // namespace vantrel
