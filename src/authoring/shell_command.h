// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one command line through /bin/sh, synchronously, keeping the calling thread's
// windows alive: while the child runs, the thread's message pump is called every 50 ms.
// The command's folder comes first on the child's PATH, so the bare tool names of the
// command templates resolve to the tool set written there. The folder, the variables the
// tools read and the log the output goes to are the child's own: running a command never
// changes this process's current folder or environment.
#pragma once

#include <string>
#include <vector>

#include "base/child_process.h"

namespace vantrel {

using ShellResult = ChildExit;

// Where a command runs.
struct ShellContext {
  std::string folder;                    // working folder, first on PATH; "" : ours
  std::vector<std::string> environment;  // "NAME=value" set for the child (VIDEO_FORMAT)
  std::string outputFile;                // standard output and error appended here; "" : ours
};

ShellResult RunShell(const std::string& commandLine, const ShellContext& context);
// True when the command ran and ended with exit status 0.
bool ShellCommand(const std::string& commandLine, const ShellContext& context);

// The same in this process's current folder, with its output.
ShellResult RunShell(const std::string& commandLine);
bool ShellCommand(const std::string& commandLine);

}  // namespace vantrel
