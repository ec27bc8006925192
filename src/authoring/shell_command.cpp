#include "authoring/shell_command.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>

#include <filesystem>
#include <mutex>
#include <vector>

#include "base/message_pump.h"

extern char** environ;

namespace vantrel {
namespace {

constexpr int kPumpIntervalMs = 50;

std::mutex gOutputMutex;
std::string gOutputFile;

std::string OutputFile() {
  std::lock_guard<std::mutex> lock(gOutputMutex);
  return gOutputFile;
}

// The process environment with the current folder put first on PATH.
std::vector<std::string> ChildEnvironment() {
  std::error_code ec;
  std::string cwd = std::filesystem::current_path(ec).string();
  const char* path = std::getenv("PATH");
  std::string childPath = "PATH=" + cwd + ":" + (path ? path : "/usr/local/bin:/usr/bin:/bin");
  std::vector<std::string> env{childPath};
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "PATH=", 5) != 0) env.emplace_back(*e);
  return env;
}

ShellResult FromStatus(int status) {
  ShellResult result;
  result.started = true;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

// Waits for the child, calling the message pump between 50 ms waits.
ShellResult WaitPumping(pid_t pid) {
  int pidfd = int(syscall(SYS_pidfd_open, pid, 0));
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      if (pidfd >= 0) close(pidfd);
      return ShellResult{};
    }
    if (pidfd >= 0) {
      pollfd fd{pidfd, POLLIN, 0};
      poll(&fd, 1, kPumpIntervalMs);
    } else {
      usleep(kPumpIntervalMs * 1000);
    }
    PumpMessages();
  }
  if (pidfd >= 0) close(pidfd);
  return FromStatus(status);
}

}  // namespace

ShellResult RunShell(const std::string& commandLine) {
  std::vector<std::string> env = ChildEnvironment();
  std::vector<char*> envp;
  for (auto& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string shell = "/bin/sh", dashC = "-c", line = commandLine;
  char* argv[] = {shell.data(), dashC.data(), line.data(), nullptr};

  // The child starts with default signal handling, whatever this process ignores.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  const std::string output = OutputFile();
  if (!output.empty()) {
    posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
  }
  pid_t pid = -1;
  int rc = posix_spawn(&pid, shell.c_str(), &files, &attr, argv, envp.data());
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return ShellResult{};
  return WaitPumping(pid);
}

bool ShellCommand(const std::string& commandLine) { return RunShell(commandLine).Succeeded(); }

void SetShellOutputFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(gOutputMutex);
  gOutputFile = path;
}

}  // namespace vantrel
