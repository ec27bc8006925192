// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/support_info.h"

#include "base/app_folder.h"
#include "base/ini_file.h"
#include "base/utf.h"

namespace vantrel {

SupportInfo ReadSupportInfo(const std::string& supportIniPath) {
  constexpr size_t kValueBytes = 255;  // a 256-byte buffer with its terminator
  IniFile ini(supportIniPath);
  auto read = [&](const char* key) { return Utf8Prefix(ini.ReadString("support", key, ""), kValueBytes); };
  return {read("homepage"), read("mailto"), read("version")};
}

SupportInfo ReadSupportInfo() { return ReadSupportInfo(ApplicationFolder() + "support.ini"); }

}  // namespace vantrel
