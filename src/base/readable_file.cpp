// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/readable_file.h"
#include "base/translation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {
namespace {

std::string KindReason(mode_t mode) {
  if (S_ISDIR(mode)) return Tr("这是一个文件夹，不是文件");
  if (S_ISFIFO(mode)) return Tr("这是一个命名管道，不是普通文件");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return Tr("这是一个设备，不是普通文件");
  if (S_ISSOCK(mode)) return Tr("这是一个套接字，不是普通文件");
  return Tr("这不是普通文件");
}

}  // namespace

std::string UnreadableFileReason(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::strerror(errno);
  if (!S_ISREG(info.st_mode)) return KindReason(info.st_mode);
  // Opened without blocking, and looked at again: the name may have been replaced by a
  // pipe in between.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::strerror(errno);
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  close(fd);
  return regular ? "" : KindReason(info.st_mode);
}

}  // namespace vantrel
