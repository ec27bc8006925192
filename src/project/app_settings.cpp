// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/app_settings.h"

#include "base/app_folder.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "platform/registry/registry.h"

namespace vantrel {
namespace {

constexpr const char* kGeneral = "general";
constexpr const char* kMenu = "menu";
constexpr const char* kDvd = "dvd";

}  // namespace

std::string SettingsIniPath() {
  std::string appFolder = ApplicationFolder();
  if (IsFolderWritable(appFolder)) return appFolder + "Settings.ini";
  std::string config = UserConfigFolder();
  MakeFolder(config);
  return config + "Settings.ini";
}

std::string DefaultTempPath() { return HomeFolder() + "/vantrel_dvd"; }

AppSettings::AppSettings() : AppSettings(SettingsIniPath()) {}

AppSettings::AppSettings(std::string iniPath) : temppath(DefaultTempPath()), ini_(std::move(iniPath)) {}

void AppSettings::Load() {
  auto readBool = [&](const char* section, const char* key, bool& field) {
    field = ini_.ReadInt(section, key, field) != 0;
  };
  skin = ini_.ReadInt(kGeneral, "skin", skin);
  language = ini_.ReadInt(kGeneral, "language", language);
  filesystem = ini_.ReadInt(kDvd, "filesystem", filesystem);
  resolution = ini_.ReadInt(kDvd, "resolution", resolution);
  layout = ini_.ReadInt(kMenu, "layout", layout);
  temppath = ini_.ReadString(kDvd, "temppath", temppath);
  readBool(kDvd, "burnproof", burnproof);
  readBool(kDvd, "cachimage", cachimage);
  readBool(kDvd, "dvdhigh", dvdhigh);
  readBool(kDvd, "deletetemp", deletetemp);
  audiocodec = ini_.ReadInt(kDvd, "audiocodec", audiocodec);
  readBool(kDvd, "createmenu", createmenu);
  readBool(kDvd, "convertbefore", convertbefore);
  zoom = ini_.ReadInt(kDvd, "zoom", zoom);
  headline = ini_.ReadInt(kMenu, "headline", headline);
  footline = ini_.ReadInt(kMenu, "footline", footline);
  disccapacity = ini_.ReadInt(kDvd, "disccapacity", disccapacity);
}

bool AppSettings::Save() {
  auto number = [](int value) { return Format("%d", value); };
  return ini_.WriteAll({
      {kGeneral, "skin", number(skin)},
      {kGeneral, "language", number(language)},
      {kMenu, "layout", number(layout)},
      {kMenu, "headline", number(headline)},
      {kMenu, "footline", number(footline)},
      {kDvd, "temppath", temppath},
      {kDvd, "burnproof", number(burnproof)},
      {kDvd, "cachimage", number(cachimage)},
      {kDvd, "dvdhigh", number(dvdhigh)},
      {kDvd, "deletetemp", number(deletetemp)},
      {kDvd, "createmenu", number(createmenu)},
      {kDvd, "audiocodec", number(audiocodec)},
      {kDvd, "convertbefore", number(convertbefore)},
      {kDvd, "zoom", number(zoom)},
      {kDvd, "filesystem", number(filesystem)},
      {kDvd, "resolution", number(resolution)},
      {kDvd, "disccapacity", number(disccapacity)},
  });
}

AppSettings& Settings() {
  static AppSettings settings;
  return settings;
}

std::string ReadLastDir() {
  return registry::GetString(registry::Root::CurrentUser, kLastDirKey, "").value_or("");
}

bool WriteLastDir(const std::string& folder) {
  return registry::SetString(registry::Root::CurrentUser, kLastDirKey, "", folder);
}


}  // namespace vantrel
