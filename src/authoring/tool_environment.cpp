#include "authoring/tool_environment.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace vantrel {

ScopedToolEnvironment::ScopedToolEnvironment(const std::string& toolFolder, bool ntsc) {
  std::error_code ec;
  previousFolder_ = std::filesystem::current_path(ec).string();
  if (const char* format = std::getenv("VIDEO_FORMAT")) previousFormat_ = format;
  setenv("VIDEO_FORMAT", ntsc ? "NTSC" : "PAL", 1);
  entered_ = chdir(toolFolder.c_str()) == 0;
}

ScopedToolEnvironment::~ScopedToolEnvironment() {
  if (previousFormat_)
    setenv("VIDEO_FORMAT", previousFormat_->c_str(), 1);
  else
    unsetenv("VIDEO_FORMAT");
  if (entered_ && !previousFolder_.empty() && chdir(previousFolder_.c_str()) != 0) {
    // The old folder is gone; staying in the tool folder is all that is left to do.
  }
}

}  // namespace vantrel
