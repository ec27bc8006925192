// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/process_files.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <filesystem>

namespace vantrel {

bool ProcessHasEnded(unsigned long pid) {
  if (pid == 0 || pid > 0x7fffffffUL) return false;
  return kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

void RemoveFilesOfEndedProcesses(const std::string& folder, const std::string& prefix) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    size_t end = prefix.size();
    unsigned long pid = 0;
    while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end])) && end - prefix.size() < 10)
      pid = pid * 10 + unsigned(name[end++] - '0');
    if (end == prefix.size() || (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end]))))
      continue;
    struct stat info {};
    if (lstat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) continue;
    if (ProcessHasEnded(pid)) unlink(entry.path().c_str());
  }
}

}  // namespace vantrel
