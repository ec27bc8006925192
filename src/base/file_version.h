// SPDX-License-Identifier: GPL-3.0-or-later
// Which version of a file a name stands for now: the file itself (its device and inode),
// its size and its modification time. A file rewritten, or replaced under the same name,
// differs in one of them.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

struct FileVersion {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  bool operator==(const FileVersion&) const = default;
};

// A file's modification time in nanoseconds.
std::int64_t ModifiedNs(const struct stat& info);

// Empty when there is nothing to read at `path`.
std::optional<FileVersion> FileVersionOf(const std::string& path);

}  // namespace vantrel
