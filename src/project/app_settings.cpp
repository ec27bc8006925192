#include "project/app_settings.h"

#include "base/app_folder.h"
#include "base/paths.h"
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
}

bool AppSettings::Save() {
  bool ok = true;
  auto put = [&](const char* section, const char* key, int value) {
    ok = ini_.WriteInt(section, key, value) && ok;
  };
  put(kGeneral, "skin", skin);
  put(kMenu, "layout", layout);
  put(kMenu, "headline", headline);
  put(kMenu, "footline", footline);
  ok = ini_.WriteString(kDvd, "temppath", temppath) && ok;
  put(kDvd, "burnproof", burnproof);
  put(kDvd, "cachimage", cachimage);
  put(kDvd, "dvdhigh", dvdhigh);
  put(kDvd, "deletetemp", deletetemp);
  put(kDvd, "createmenu", createmenu);
  put(kDvd, "audiocodec", audiocodec);
  put(kDvd, "convertbefore", convertbefore);
  put(kDvd, "zoom", zoom);
  put(kDvd, "filesystem", filesystem);
  put(kDvd, "resolution", resolution);
  return ok;
}

std::string ReadLastDir() {
  return registry::GetString(registry::Root::CurrentUser, kLastDirKey, "").value_or("");
}

bool WriteLastDir(const std::string& folder) {
  return registry::SetString(registry::Root::CurrentUser, kLastDirKey, "", folder);
}

AppSettings& Settings() {
  static AppSettings settings;
  return settings;
}

}  // namespace vantrel
