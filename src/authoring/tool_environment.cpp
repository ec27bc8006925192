// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/tool_environment.h"

namespace vantrel {

ShellContext ToolShellContext(const std::string& toolFolder, TvStandard standard, const std::string& toolLog) {
  ShellContext context;
  context.folder = toolFolder;
  context.environment.push_back(std::string("VIDEO_FORMAT=") + VideoFormatName(standard));
  context.outputFile = toolLog;
  return context;
}

}  // namespace vantrel
