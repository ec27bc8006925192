// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace vantrel {
namespace {

bool WriteAll(int fd, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

// The process's file creation mask, read without changing it (umask() would, for a moment,
// for every thread).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return mode_t(std::stoul(line.substr(6), nullptr, 8));
  return 022;
}

}  // namespace

bool PendingFile::Create(const std::string& target, bool keepMode) {
  Abandon();
  std::string pattern = target + ".part-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return false;
  struct stat old {};
  const mode_t mode = keepMode && stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777)
                                                                  : (0666 & ~CurrentUmask());
  const bool ok = fchmod(fd, mode) == 0;
  const int code = errno;
  close(fd);
  target_ = target;
  temporary_ = pattern;
  if (!ok) {
    Abandon();
    errno = code;
  }
  return ok;
}

bool PendingFile::Commit() {
  if (temporary_.empty()) {
    errno = EINVAL;
    return false;
  }
  const int fd = open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = fd >= 0 && fsync(fd) == 0;
  int code = errno;
  if (fd >= 0) close(fd);
  if (ok && rename(temporary_.c_str(), target_.c_str()) != 0) {
    ok = false;
    code = errno;
  }
  if (!ok) {
    Abandon();
    errno = code;
    return false;
  }
  temporary_.clear();
  return true;
}

void PendingFile::Abandon() {
  if (temporary_.empty()) return;
  const int code = errno;
  unlink(temporary_.c_str());
  temporary_.clear();
  errno = code;
}

bool WriteFileAtomically(const std::string& path, const std::string& content) {
  PendingFile file;
  if (!file.Create(path, true)) return false;
  const int fd = open(file.Path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content);
  ok = close(fd) == 0 && ok;
  return ok && file.Commit();
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  content = buffer.str();
  return true;
}

}  // namespace vantrel
