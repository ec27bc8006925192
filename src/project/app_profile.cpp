// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/app_profile.h"

#include "base/app_folder.h"
#include "base/ini_file.h"
#include "base/paths.h"

namespace vantrel {

AppProfile::AppProfile() : path_(UserConfigFolder() + "vantrel.ini") {}

int AppProfile::GetInt(const std::string& section, const std::string& key, int fallback) const {
  return IniFile(path_).ReadInt(section, key, fallback);
}

std::string AppProfile::GetString(const std::string& section, const std::string& key,
                                  const std::string& fallback) const {
  return IniFile(path_).ReadString(section, key, fallback);
}

bool AppProfile::WriteInt(const std::string& section, const std::string& key, int value) {
  MakeFolder(FolderOf(path_));
  IniFile ini(path_);
  return ini.WriteInt(section, key, value);
}

bool AppProfile::WriteString(const std::string& section, const std::string& key,
                             const std::string& text) {
  MakeFolder(FolderOf(path_));
  IniFile ini(path_);
  return ini.WriteString(section, key, text);
}

}  // namespace vantrel
