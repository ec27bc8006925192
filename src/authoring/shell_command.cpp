#include "authoring/shell_command.h"

#include <filesystem>

#include "base/message_pump.h"

namespace vantrel {
namespace {

constexpr int kPumpIntervalMs = 50;

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
  const pid_t pid = SpawnChild({"/bin/sh", "-c", commandLine}, options);
  if (pid < 0) return ShellResult{};
  return WaitForChild(pid, kPumpIntervalMs, [] { PumpMessages(); });
}

bool ShellCommand(const std::string& commandLine, const ShellContext& context) {
  return RunShell(commandLine, context).Succeeded();
}

ShellResult RunShell(const std::string& commandLine) { return RunShell(commandLine, ShellContext{}); }

bool ShellCommand(const std::string& commandLine) { return RunShell(commandLine).Succeeded(); }

}  // namespace vantrel
