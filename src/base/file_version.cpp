// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/file_version.h"

namespace vantrel {

std::int64_t ModifiedNs(const struct stat& info) {
  return std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

std::optional<FileVersion> FileVersionOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileVersion{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino), std::uint64_t(info.st_size),
                     ModifiedNs(info)};
}

}  // namespace vantrel
