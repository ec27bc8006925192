// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/toolset.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "authoring/command_templates.h"
#include "base/paths.h"

namespace vantrel {
namespace {

bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec);
}

bool WriteExecutable(const std::string& path, const std::string& content) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
  if (fd < 0) return false;
  bool ok = write(fd, content.data(), content.size()) == ssize_t(content.size());
  ok = fchmod(fd, 0755) == 0 && ok;
  return close(fd) == 0 && ok;
}

}  // namespace

std::string ToolSet::FindInstalled(const std::string& program) const {
  const char* pathEnv = std::getenv("PATH");
  std::string path = pathEnv ? pathEnv : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string dir = path.substr(start, end - start);
    start = end + 1;
    if (dir.empty() || dir.front() != '/' || SameFolder(dir, folder_)) continue;
    std::string candidate = JoinPath(dir, program);
    if (FileExists(candidate) && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::string();
}

std::string ToolSet::ScriptFor(const ToolEntry& tool) const {
  std::string installed = FindInstalled(tool.program);
  if (installed.empty()) {
    return std::string("#!/bin/sh\necho ") +
           ShellQuote(std::string("vantrel: ") + tool.program + " is not installed (needed as " +
                      tool.fileName + ")") +
           " >&2\nexit 127\n";
  }
  std::string leading = *tool.leadingArguments ? std::string(" ") + tool.leadingArguments : "";
  return "#!/bin/sh\nexec " + ShellQuote(installed) + leading + " \"$@\"\n";
}

bool ToolSet::Write() const {
  if (!MakeFolder(folder_)) return false;
  for (const ToolEntry& tool : kTools)
    if (!WriteExecutable(JoinPath(folder_, tool.fileName), ScriptFor(tool))) return false;
  return true;
}

void ToolSet::Remove() const {
  MakeFolder(folder_);
  for (const ToolEntry& tool : kTools) unlink(JoinPath(folder_, tool.fileName).c_str());
  // A run's own folder goes when nothing else is in it; the shared TEMP folder stays.
  if (FileNameOf(folder_).rfind("run-", 0) == 0) rmdir(folder_.c_str());
}

}  // namespace vantrel
