// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/run_folders.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "base/app_folder.h"
#include "base/text_format.h"

namespace vantrel {

RunFolders RunFolders::For(const std::string& temppath, const std::string& applicationFolder) {
  // The run works from the tool folder, so a relative work folder is taken from here.
  std::error_code ec;
  std::string work = temppath.empty() ? temppath : std::filesystem::absolute(temppath, ec).string();
  while (work.size() > 1 && work.back() == '/') work.pop_back();
  std::string app = applicationFolder;
  if (app.empty() || app.back() != '/') app += '/';
  std::string toolParent = IsFolderWritable(app) ? app : UserDataFolder();
  // Each run has a tool folder of its own below TEMP, named for the process and the run: a
  // second run at the same time, in this process or another, would otherwise delete the
  // tools the first is running.
  static std::atomic<int> runs{0};
  const int run = ++runs;
  return {work, work + "/TEMP/", work + "/DVD",
          toolParent + "TEMP/" + Format("run-%d-%d", int(getpid()), run)};
}

std::string PageFileName(const char* stem, int page, const char* extension) {
  return Format("%s%02d%s", stem, page, extension);
}

}  // namespace vantrel
