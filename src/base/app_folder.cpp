// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/app_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/paths.h"

namespace vantrel {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return (value && *value) ? std::string(value) : fallback;
}

}  // namespace

std::string ApplicationFolder() {
  if (const char* overridden = std::getenv("VANTREL_APPDIR"); overridden && *overridden)
    return WithSlash(overridden);
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  return WithSlash(exe.parent_path().string());
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/tmp";
}

std::string UserConfigFolder() {
  return WithSlash(EnvOr("XDG_CONFIG_HOME", HomeFolder() + "/.config")) + "vantrel/";
}

std::string UserDataFolder() {
  return WithSlash(EnvOr("XDG_DATA_HOME", HomeFolder() + "/.local/share")) + "vantrel/";
}

std::string UserStateFolder() {
  return WithSlash(EnvOr("XDG_STATE_HOME", HomeFolder() + "/.local/state")) + "vantrel/";
}

std::string UserCacheFolder() {
  return WithSlash(EnvOr("XDG_CACHE_HOME", HomeFolder() + "/.cache")) + "vantrel/";
}

std::string RuntimeFolder() {
  const std::string app = ApplicationFolder();
  if (IsFolderWritable(app)) return app;
  const std::string cache = UserCacheFolder();
  MakeFolder(cache);
  return cache;
}

std::string RuntimeFilePath(const std::string& stem, const std::string& extension) {
  return RuntimeFolder() + stem + "-" + std::to_string(getpid()) + extension;
}

bool IsFolderWritable(const std::string& folder) {
  std::string probe = WithSlash(folder) + ".vantrel-write-probe-XXXXXX";
  int fd = mkstemp(probe.data());
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

}  // namespace vantrel
