// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/foxburner/child_process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/child_process.h"

namespace vantrel::foxburner {

bool StartChild(const std::vector<std::string>& argv, const std::string& stderrPath, Child& child) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  ChildOptions options;
  options.stdoutFd = fds[1];
  options.stderrPath = stderrPath;
  options.createMode = 0600;
  // A process group of its own: Ctrl+C on the terminal reaches the program, which cancels
  // the write and stops the child itself, instead of the child dying under a running write.
  options.ownProcessGroup = true;
  const pid_t pid = SpawnChild(argv, options);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return false;
  }
  child.pid = pid;
  child.stdoutFd = fds[0];
  return true;
}

int WaitChild(pid_t pid) { return WaitForChild(pid).Status(); }

std::string RunAndCapture(const std::vector<std::string>& argv, const std::string& stderrPath,
                          int& status) {
  Child child;
  status = -1;
  if (!StartChild(argv, stderrPath, child)) return "";
  std::string out;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(child.stdoutFd, buffer, sizeof buffer);
    if (n > 0) {
      out.append(buffer, size_t(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(child.stdoutFd);
  status = WaitChild(child.pid);
  return out;
}

}  // namespace vantrel::foxburner
