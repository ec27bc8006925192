#include "authoring/run_folders.h"

#include <unistd.h>

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
  // Each running program has a tool folder of its own below TEMP: a second run at the same
  // time would otherwise delete the tools the first is running.
  return {work, work + "/TEMP/", work + "/DVD", toolParent + "TEMP/" + Format("run-%d", int(getpid()))};
}

std::string PageFileName(const char* stem, int page, const char* extension) {
  return Format("%s%02d%s", stem, page, extension);
}

}  // namespace vantrel
