// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/launch.h"

#include <thread>

#include "base/app_folder.h"
#include "base/child_process.h"

namespace vantrel {

bool LaunchHidden(const std::string& commandLine) {
  ChildOptions options;
  options.environment = ChildEnvironment(ApplicationFolder());
  options.stdinPath = "/dev/null";
  options.stdoutPath = "/dev/null";
  options.stderrPath = "/dev/null";
  const pid_t pid = SpawnChild({"/bin/sh", "-c", commandLine}, options);
  if (pid < 0) return false;
  std::thread([pid] { WaitForChild(pid); }).detach();
  return true;
}

std::string DoubleQuotedShellWord(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace vantrel
