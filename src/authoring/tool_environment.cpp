#include "authoring/tool_environment.h"

namespace vantrel {

ShellContext ToolShellContext(const std::string& toolFolder, bool ntsc, const std::string& toolLog) {
  ShellContext context;
  context.folder = toolFolder;
  context.environment.push_back(std::string("VIDEO_FORMAT=") + (ntsc ? "NTSC" : "PAL"));
  context.outputFile = toolLog;
  return context;
}

}  // namespace vantrel
