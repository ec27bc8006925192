// SPDX-License-Identifier: GPL-3.0-or-later
// The one settings object of the program: built-in defaults, read from Settings.ini at
// start-up, changed in memory by the dialogs, written back whole at exit.
#pragma once

#include <string>

#include "base/ini_file.h"
#include "base/tv_standard.h"

namespace vantrel {

struct AppSettings {
  AppSettings();  // defaults; Settings.ini path from the application folder
  explicit AppSettings(std::string iniPath);

  void Load();
  // Writes every key in one replacement of the file; false when it failed.
  bool Save();
  const std::string& IniPath() const { return ini_.Path(); }

  int skin = 1;
  // The windows' language: 0 the system's (the locale), 1 Chinese, 2 English.
  int language = 0;
  int layout = 2;
  int headline = 1;
  int footline = 1;
  bool burnproof = true;
  bool cachimage = false;
  bool dvdhigh = false;
  bool convertbefore = false;
  bool createmenu = true;
  bool deletetemp = false;
  std::string temppath;
  int audiocodec = 1;
  int zoom = 1;
  int filesystem = 1;
  int resolution = 1;  // 1 NTSC, 0 PAL
  int disccapacity = 0;  // the disc a run is planned for: 0 DVD-5, 1 DVD-9

  bool IsNtsc() const { return resolution == 1; }
  TvStandard Standard() const { return StandardOfNtscFlag(IsNtsc()); }

 private:
  IniFile ini_;
};

// Settings.ini in the application folder, or in the user's config folder when the
// application folder cannot be written.
std::string SettingsIniPath();
// The default work folder: $HOME/vantrel_dvd.
std::string DefaultTempPath();

// The last folder chosen in a folder browser: the default value of the current user's
// registry key "Software\quorvane\LastDir" (empty when never set).
constexpr const char* kLastDirKey = "Software\\quorvane\\LastDir";
std::string ReadLastDir();
bool WriteLastDir(const std::string& folder);

// The process-wide settings.
AppSettings& Settings();

}  // namespace vantrel
