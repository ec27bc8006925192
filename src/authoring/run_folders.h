// SPDX-License-Identifier: GPL-3.0-or-later
// The folders of one authoring run, derived from the work folder and the application folder.
#pragma once

#include <string>

namespace vantrel {

struct RunFolders {
  std::string work;          // the temppath setting: repaired titles
  std::string intermediate;  // work + "/TEMP/": menu images, scripts and streams, dvd.xml
  std::string output;        // work + "/DVD": VIDEO_TS and AUDIO_TS
  // The tool set: application folder + "TEMP/run-PID-N" (N counts the calls of For in
  // this process), or the user's data folder instead of the application folder when that
  // cannot be written (an installed program).
  std::string tool;

  static RunFolders For(const std::string& temppath, const std::string& applicationFolder);
};

// Per-page file names carry the page number as "%02d": PageFileName("menu", 3, ".mpg") is
// "menu03.mpg".
std::string PageFileName(const char* stem, int page, const char* extension);

}  // namespace vantrel
