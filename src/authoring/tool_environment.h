// SPDX-License-Identifier: GPL-3.0-or-later
// The surroundings the authoring tools run in: the tool folder as their working folder
// and first on their PATH, so the bare tool names of the command lines resolve to the tool
// set, VIDEO_FORMAT naming the run's video standard (spumux and dvdauthor read it), and
// the run's tool log taking their output. All of it is given to each child; this
// process's own folder and environment stay as they are.
#pragma once

#include <string>

#include "authoring/shell_command.h"
#include "base/tv_standard.h"

namespace vantrel {

ShellContext ToolShellContext(const std::string& toolFolder, TvStandard standard, const std::string& toolLog = "");

}  // namespace vantrel
