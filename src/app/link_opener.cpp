// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/link_opener.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "base/app_folder.h"
#include "base/launch.h"
#include "base/message_pump.h"
#include "base/text_format.h"
#include "base/translation.h"

extern char** environ;

namespace vantrel::app {
namespace {

// The opener usually hands the link to a running program and ends at once; one that keeps
// running is taken as started after this long, so the window never hangs on it.
constexpr auto kOpenerPatience = std::chrono::seconds(5);

// Runs argv without a shell, output discarded; the exit status, 127 when it could not start,
// 0 when it was still running after kOpenerPatience.
int RunQuietly(std::vector<std::string> args, std::string* output = nullptr) {
  int pipeFds[2] = {-1, -1};
  if (output && ::pipe2(pipeFds, O_CLOEXEC) != 0) return 127;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (output)
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (output) ::close(pipeFds[1]);
  if (rc != 0) {
    if (output) ::close(pipeFds[0]);
    return 127;
  }
  if (output) {
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) output->append(buffer, size_t(n));
    ::close(pipeFds[0]);
  }
  const auto deadline = std::chrono::steady_clock::now() + kOpenerPatience;
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return 127;
    if (std::chrono::steady_clock::now() > deadline) {
      std::thread([pid] {
        int s;
        while (::waitpid(pid, &s, 0) < 0 && errno == EINTR) {
        }
      }).detach();
      return 0;
    }
    PumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 126;
}

std::vector<std::string> ApplicationFolders() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  std::vector<std::string> folders{(dataHome && *dataHome ? std::string(dataHome) : HomeFolder() + "/.local/share") +
                                   "/applications/"};
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::stringstream list(dirs && *dirs ? dirs : "/usr/local/share:/usr/share");
  std::string dir;
  while (std::getline(list, dir, ':'))
    if (!dir.empty()) folders.push_back(dir + (dir.back() == '/' ? "" : "/") + "applications/");
  return folders;
}

bool ExecOfEntry(const std::string& path, std::string& exec) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  bool inEntry = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') inEntry = line == "[Desktop Entry]";
    else if (inEntry && line.rfind("Exec=", 0) == 0) {
      exec = line.substr(5);
      return true;
    }
  }
  exec.clear();
  return true;
}

// The first placeholder for a file or address in an Exec value.
size_t FindPlaceholder(const std::string& exec, size_t from, bool quoted) {
  for (size_t i = from; i + 1 < exec.size(); ++i) {
    const size_t at = quoted ? i + 1 : i;
    if (quoted && exec[i] != '"') continue;
    if (at + 1 >= exec.size() || exec[at] != '%') continue;
    const char code = exec[at + 1];
    if (code != 'u' && code != 'U' && code != 'f' && code != 'F') continue;
    if (quoted && (at + 2 >= exec.size() || exec[at + 2] != '"')) continue;
    return i;
  }
  return std::string::npos;
}

}  // namespace

std::string ShellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string HandlerCommandLine(const std::string& exec, const std::string& link) {
  std::string command = exec;
  size_t cut = FindPlaceholder(command, 0, true);
  if (cut == std::string::npos) cut = FindPlaceholder(command, 0, false);
  if (cut != std::string::npos) command.erase(cut);
  while (!command.empty() && command.back() == ' ') command.pop_back();
  return command + " " + ShellQuoted(link);
}

bool HtmlHandlerExec(std::string& exec, int& failureCode) {
  std::string id;
  if (RunQuietly({"xdg-mime", "query", "default", "text/html"}, &id) != 0) {
    failureCode = 31;
    return false;
  }
  while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
  if (id.empty() || id.find('/') != std::string::npos) {
    failureCode = 31;
    return false;
  }
  for (const std::string& folder : ApplicationFolders()) {
    if (!ExecOfEntry(folder + id, exec)) continue;
    if (exec.empty()) {
      failureCode = 27;
      return false;
    }
    return true;
  }
  failureCode = 2;
  return false;
}

int OpenLink(const std::string& link) {
  if (RunQuietly({"xdg-open", link}) == 0) return kLinkOpened;
  std::string exec;
  int failure = 0;
  if (!HtmlHandlerExec(exec, failure)) return failure;
  return LaunchHidden(HandlerCommandLine(exec, link)) ? kLinkOpened : 0;
}

std::string LinkFailureReason(int code) {
  switch (code) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return Tr("找不到指定的文件。");
    case 3: return Tr("找不到指定的路径。");
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return Tr("内存不足以完成此项操作。");
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30:
      return "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
             "being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: return Format(Tr("发生未知错误 (%d)."), code);
  }
}

std::string LinkFailureText(int code) { return Tr("无法打开超级链接:\n\n") + LinkFailureReason(code); }

}  // namespace vantrel::app
