// dvd.xml: one video manager whose menus are the menu pages (or a black clip when the disc
// has no menu) and one title set with a program chain per title, in list order.
#pragma once

#include <string>

namespace vantrel {

class MenuModel;

struct DvdScriptInputs {
  bool createMenu = true;
  bool ntsc = false;
  std::string intermediateFolder;  // ends in "/"
  std::string applicationFolder;   // ends in "/"
};

class DvdScriptWriter {
 public:
  static constexpr const char* kChapters = "0,15:00,30:00,45:00,1:00:00";

  static std::string Compose(const MenuModel& model, const DvdScriptInputs& inputs);
  // Writes intermediate folder + "dvd.xml", replacing an earlier file.
  static bool Write(const MenuModel& model, const DvdScriptInputs& inputs);
  static std::string ScriptPath(const std::string& intermediateFolder);
};

}  // namespace vantrel
