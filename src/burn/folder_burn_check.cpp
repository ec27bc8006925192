// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/folder_burn_check.h"

#include <filesystem>

#include "base/paths.h"

namespace vantrel {
namespace {

constexpr const char* kVideoTsNames[] = {"VIDEO_TS.BUP", "VIDEO_TS.IFO", "VIDEO_TS.VOB",
                                         "VTS_01_0.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB"};
constexpr int kExpected = 6;

// Counts matching files, not distinct names, and stops once the count passes five.
int CountFolderBurnMatches(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  int count = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    if (it->is_directory(typeEc)) continue;
    std::string name = it->path().filename().string();
    for (const char* wanted : kVideoTsNames) {
      if (name.find(wanted) != std::string::npos) {
        ++count;
        break;
      }
    }
    if (count > kExpected - 1) break;
  }
  return count;
}

}  // namespace

bool ValidateVideoTsFolder(const std::string& path, std::string& accepted) {
  accepted.clear();
  if (path.empty()) return false;
  if (CountFolderBurnMatches(path) == kExpected) {
    accepted = path;
    return true;
  }
  std::string sub = JoinPath(path, "VIDEO_TS");
  if (CountFolderBurnMatches(sub) == kExpected) {
    accepted = sub;
    return true;
  }
  return false;
}

}  // namespace vantrel
