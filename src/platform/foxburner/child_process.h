// SPDX-License-Identifier: GPL-3.0-or-later
// Child programs of the library (the image builder), started without a shell so that no
// path is ever parsed as a command line.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vantrel::foxburner {

struct Child {
  pid_t pid = -1;
  int stdoutFd = -1;  // read end of the child's standard output
};

// Starts the program (found on PATH) in a process group of its own with default signal
// handling, standard output into a pipe and standard error into `stderrPath`.
bool StartChild(const std::vector<std::string>& argv, const std::string& stderrPath, Child& child);
// Waits for the child: its exit status, 128 + the signal that ended it, or -1.
int WaitChild(pid_t pid);
// Runs the program to its end and returns everything it wrote to standard output.
std::string RunAndCapture(const std::vector<std::string>& argv, const std::string& stderrPath,
                          int& status);

}  // namespace vantrel::foxburner
