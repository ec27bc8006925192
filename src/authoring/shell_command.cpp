// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/shell_command.h"

#include <signal.h>

#include <filesystem>

#include "base/message_pump.h"
#include "base/run_cancel.h"

namespace vantrel {
namespace {

constexpr int kPumpIntervalMs = 50;
constexpr int kStopGraceMs = 3000;

std::string CurrentFolder() {
  std::error_code ec;
  return std::filesystem::current_path(ec).string();
}

}  // namespace

ShellResult RunShell(const std::string& commandLine, const ShellContext& context) {
  ChildOptions options;
  options.folder = context.folder;
  options.environment =
      ChildEnvironment(context.folder.empty() ? CurrentFolder() : context.folder, context.environment);
  if (!context.outputFile.empty()) {
    options.stdoutPath = context.outputFile;
    options.appendOutput = true;
    options.stderrToStdout = true;
  }
  // In a job that can be cancelled, a group of its own, so that the cancel stops every
  // program of a pipeline at once; otherwise the terminal's Ctrl+C reaches them directly.
  options.ownProcessGroup = CancelScopeActive();
  const pid_t pid = SpawnChild({"/bin/sh", "-c", commandLine}, options);
  if (pid < 0) return ShellResult{};
  int waitedAfterStop = -1;
  return WaitForChild(pid, kPumpIntervalMs, [pid, &waitedAfterStop] {
    PumpMessages();
    if (waitedAfterStop < 0 && CancelRequested()) {
      kill(-pid, SIGTERM);  // the scope is active, so the child leads its own group
      waitedAfterStop = 0;
    } else if (waitedAfterStop >= 0 && (waitedAfterStop += kPumpIntervalMs) >= kStopGraceMs) {
      kill(-pid, SIGKILL);  // a tool that ignores the request
    }
  });
}

bool ShellCommand(const std::string& commandLine, const ShellContext& context) {
  return RunShell(commandLine, context).Succeeded();
}

ShellResult RunShell(const std::string& commandLine) { return RunShell(commandLine, ShellContext{}); }

bool ShellCommand(const std::string& commandLine) { return RunShell(commandLine).Succeeded(); }

}  // namespace vantrel
