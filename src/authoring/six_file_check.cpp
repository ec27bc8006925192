// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/six_file_check.h"

#include <filesystem>

#include "base/paths.h"

namespace vantrel {

int CountSixFileCheckFiles(const std::string& videoTsFolder) {
  int count = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(videoTsFolder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeEc;
    if (!it->is_regular_file(typeEc)) continue;
    const std::string name = it->path().filename().string();
    if (EqualsNoCase(name, "VIDEO_TS.BUP") || EqualsNoCase(name, "VIDEO_TS.IFO") ||
        EqualsNoCase(name, "VIDEO_TS.VOB") || EqualsNoCase(name, "VTS_01_0.BUP") ||
        name.rfind("VTS_01_0.IFO", 0) == 0 || name.rfind("VTS_01_1.VOB", 0) == 0)
      ++count;
    if (count > 5) break;
  }
  return count;
}

bool PassesSixFileCheck(const std::string& videoTsFolder) {
  return CountSixFileCheckFiles(videoTsFolder) == 6;
}

}  // namespace vantrel
