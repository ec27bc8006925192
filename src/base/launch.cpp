#include "base/launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "base/app_folder.h"

extern char** environ;

namespace vantrel {

bool LaunchHidden(const std::string& commandLine) {
  const char* path = std::getenv("PATH");
  std::string childPath = "PATH=" + ApplicationFolder() + ":" + (path ? path : "/usr/bin:/bin");
  std::vector<std::string> env{childPath};
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "PATH=", 5) != 0) env.emplace_back(*e);
  std::vector<char*> envp;
  for (auto& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string shell = "/bin/sh", dashC = "-c", line = commandLine;
  char* argv[] = {shell.data(), dashC.data(), line.data(), nullptr};
  pid_t pid = -1;
  int rc = posix_spawn(&pid, shell.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  std::thread([pid] {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace vantrel
