// SPDX-License-Identifier: GPL-3.0-or-later
// The one place the program starts child processes. A child gets its working folder, its
// environment and its standard streams through its own spawn arguments, so starting one
// never changes this process's current folder or environment.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace vantrel {

struct ChildOptions {
  std::string folder;                    // the child's working folder; "" keeps ours
  std::vector<std::string> environment;  // "NAME=value" entries; empty: this process's own
  std::string stdinPath;                 // opened read-only as standard input when not empty
  std::string stdoutPath;                // opened as standard output when not empty
  bool appendOutput = false;             // stdoutPath is appended to rather than truncated
  bool stderrToStdout = false;           // standard error goes where standard output goes
  std::string stderrPath;                // opened (truncated) as standard error when not empty
  int stdoutFd = -1;                     // made the standard output (a pipe's write end)
  bool ownProcessGroup = false;          // Ctrl+C on the terminal does not reach the child
  mode_t createMode = 0644;              // of the output files the child's spawn creates
};

// Starts argv[0] (searched on PATH when it holds no "/") with default signal handling and
// an empty signal mask. The child's pid, or -1 with the reason's errno in `error`.
pid_t SpawnChild(const std::vector<std::string>& argv, const ChildOptions& options,
                 int* error = nullptr);

struct ChildExit {
  bool started = false;
  int exitCode = -1;  // valid when the child exited
  int signal = 0;     // nonzero when the child was killed by a signal
  bool Succeeded() const { return started && signal == 0 && exitCode == 0; }
  // The exit code, 128 + the signal that ended it, or -1 when it never ran.
  int Status() const { return !started ? -1 : signal ? 128 + signal : exitCode; }
};

// Waits for the child to end. With `between`, it is called about every `intervalMs`
// while the child runs (a message pump).
ChildExit WaitForChild(pid_t pid, int intervalMs = 0, const std::function<void()>& between = {});

// This process's environment with `pathFirst` (when not empty) put at the head of PATH and
// each "NAME=value" of `overrides` in place of any entry of that name.
std::vector<std::string> ChildEnvironment(const std::string& pathFirst,
                                          const std::vector<std::string>& overrides = {});

}  // namespace vantrel
