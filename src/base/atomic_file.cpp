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

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content) {
  std::string temp = path + ".tmp-XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat old {};
  mode_t mode = (stat(path.c_str(), &old) == 0) ? (old.st_mode & 07777) : 0644;
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, content) && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
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
