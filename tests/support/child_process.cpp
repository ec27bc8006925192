// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_folder.h"

extern char** environ;

namespace vantrel::test {
namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

BackgroundRun::BackgroundRun(const std::string& command, const std::string& log) : log_(log) {
  const std::string line = "exec " + command + " >" + Quote(log) + " 2>&1";
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  const char* argv[] = {"/bin/sh", "-c", line.c_str(), nullptr};
  if (posix_spawn(&pid_, "/bin/sh", nullptr, &attr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
  posix_spawnattr_destroy(&attr);
}

BackgroundRun::~BackgroundRun() {
  if (pid_ > 0 && status_ < 0) {
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool BackgroundRun::WaitForLog(const std::string& text, double seconds) {
  for (double waited = 0; waited < seconds; waited += 0.05) {
    if (Log().find(text) != std::string::npos) return true;
    int status = 0;
    if (status_ < 0 && waitpid(pid_, &status, WNOHANG) == pid_)
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (status_ >= 0) return Log().find(text) != std::string::npos;
    usleep(50 * 1000);
  }
  return false;
}

void BackgroundRun::Signal(int signal) {
  if (pid_ > 0 && status_ < 0) kill(-pid_, signal);
}

int BackgroundRun::Wait(double seconds) {
  for (double waited = 0; status_ < 0 && waited < seconds; waited += 0.05) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    usleep(50 * 1000);
  }
  return status_;
}

std::string BackgroundRun::Log() const { return ReadText(log_); }

}  // namespace vantrel::test
