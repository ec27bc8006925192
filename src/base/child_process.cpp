// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace vantrel {
namespace {

constexpr const char* kDefaultPath = "/usr/local/bin:/usr/bin:/bin";

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

// Owns the spawn records for the length of one call.
struct SpawnRecords {
  posix_spawn_file_actions_t files;
  posix_spawnattr_t attr;
  SpawnRecords() {
    posix_spawn_file_actions_init(&files);
    posix_spawnattr_init(&attr);
  }
  ~SpawnRecords() {
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attr);
  }
};

void AddStreams(const ChildOptions& options, posix_spawn_file_actions_t& files) {
  if (!options.stdinPath.empty())
    posix_spawn_file_actions_addopen(&files, 0, options.stdinPath.c_str(), O_RDONLY, 0);
  if (options.stdoutFd >= 0) {
    posix_spawn_file_actions_adddup2(&files, options.stdoutFd, 1);
  } else if (!options.stdoutPath.empty()) {
    const int mode = O_WRONLY | O_CREAT | (options.appendOutput ? O_APPEND : O_TRUNC);
    posix_spawn_file_actions_addopen(&files, 1, options.stdoutPath.c_str(), mode, options.createMode);
  }
  if (options.stderrToStdout) {
    posix_spawn_file_actions_adddup2(&files, 1, 2);
  } else if (!options.stderrPath.empty()) {
    posix_spawn_file_actions_addopen(&files, 2, options.stderrPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, options.createMode);
  }
  // Relative stream paths above are the caller's; the folder change comes after them.
  if (!options.folder.empty()) posix_spawn_file_actions_addchdir_np(&files, options.folder.c_str());
}

}  // namespace

std::vector<std::string> ChildEnvironment(const std::string& pathFirst,
                                          const std::vector<std::string>& overrides) {
  std::vector<std::string> env;
  const char* path = std::getenv("PATH");
  const std::string inherited = path ? path : kDefaultPath;
  env.push_back("PATH=" + (pathFirst.empty() ? inherited : pathFirst + ":" + inherited));
  for (const std::string& entry : overrides)
    if (NameOf(entry) != "PATH") env.push_back(entry);
  for (char** e = environ; *e; ++e) {
    const std::string name = NameOf(*e);
    bool replaced = name == "PATH";
    for (const std::string& entry : overrides) replaced = replaced || NameOf(entry) == name;
    if (!replaced) env.emplace_back(*e);
  }
  return env;
}

pid_t SpawnChild(const std::vector<std::string>& argv, const ChildOptions& options, int* error) {
  if (argv.empty()) {
    if (error) *error = EINVAL;
    return -1;
  }
  SpawnRecords records;
  AddStreams(options, records.files);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&records.attr, &all);
  posix_spawnattr_setsigmask(&records.attr, &none);
  short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
  if (options.ownProcessGroup) {
    posix_spawnattr_setpgroup(&records.attr, 0);
    flags |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawnattr_setflags(&records.attr, flags);

  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : options.environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  char** childEnv = options.environment.empty() ? environ : envp.data();

  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &records.files, &records.attr, args.data(), childEnv);
  if (rc != 0) {
    if (error) *error = rc;
    return -1;
  }
  return pid;
}

ChildExit WaitForChild(pid_t pid, int intervalMs, const std::function<void()>& between) {
  ChildExit result;
  if (pid <= 0) return result;
  int status = 0;
  if (!between) {
    while (waitpid(pid, &status, 0) < 0)
      if (errno != EINTR) return result;
  } else {
    const int pidfd = int(syscall(SYS_pidfd_open, pid, 0));
    for (;;) {
      const pid_t done = waitpid(pid, &status, WNOHANG);
      if (done == pid) break;
      if (done < 0 && errno != EINTR) {
        if (pidfd >= 0) close(pidfd);
        return result;
      }
      if (pidfd >= 0) {
        pollfd fd{pidfd, POLLIN, 0};
        poll(&fd, 1, intervalMs);
      } else {
        usleep(useconds_t(intervalMs) * 1000);
      }
      between();
    }
    if (pidfd >= 0) close(pidfd);
  }
  result.started = true;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace vantrel
