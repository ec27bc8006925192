// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/failure_notes.h"

#include <sys/statvfs.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace vantrel {

std::string FullDiskNote(const std::string& folder) {
  struct statvfs vfs {};
  if (statvfs(folder.c_str(), &vfs) != 0) return "";
  const unsigned long long freeBytes = static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize;
  if (freeBytes >= (1ull << 20)) return "";
  return std::string(std::strerror(ENOSPC)) + ": " + folder;
}

void AppendToLog(const std::string& log, const std::string& line) {
  std::ofstream out(log, std::ios::app | std::ios::binary);
  out << line << '\n';
}

}  // namespace vantrel
