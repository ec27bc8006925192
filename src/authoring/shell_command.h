// Runs one command line through /bin/sh, synchronously, keeping the calling thread's
// windows alive: while the child runs, the thread's message pump is called every 50 ms.
// The current folder comes first on the child's PATH, so the bare tool names of the
// command templates resolve to the tool set written there.
#pragma once

#include <string>

namespace vantrel {

struct ShellResult {
  bool started = false;
  int exitCode = -1;  // valid when the shell exited
  int signal = 0;     // nonzero when the shell was killed by a signal
  bool Succeeded() const { return started && signal == 0 && exitCode == 0; }
};

ShellResult RunShell(const std::string& commandLine);
// True when the command ran and ended with exit status 0.
bool ShellCommand(const std::string& commandLine);

// From now on, the standard output and error of every command are appended to this file
// (a run's tool log); empty gives the children this process's own again.
void SetShellOutputFile(const std::string& path);

}  // namespace vantrel
