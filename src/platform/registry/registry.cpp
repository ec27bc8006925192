// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/app_folder.h"
#include "base/atomic_file.h"
#include "base/paths.h"

namespace vantrel::registry {
namespace {

const char* RootName(Root root) {
  return root == Root::ClassesRoot ? "HKEY_CLASSES_ROOT" : "HKEY_CURRENT_USER";
}

// Holds an exclusive lock on the root's lock file for its lifetime.
class RootLock {
 public:
  explicit RootLock(Root root) {
    if (!MakeFolder(Folder())) return;
    std::string path = Folder() + RootName(root) + ".lock";
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    int rc;
    do rc = flock(fd_, LOCK_EX);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~RootLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  RootLock(const RootLock&) = delete;
  RootLock& operator=(const RootLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace

std::string Folder() {
  if (const char* folder = std::getenv("VANTREL_REGISTRY_DIR"); folder && *folder) {
    std::string path = folder;
    return path.back() == '/' ? path : path + "/";
  }
  return UserDataFolder() + "registry/";
}

std::string HivePath(Root root) { return Folder() + RootName(root) + ".reg"; }

Hive Snapshot(Root root) {
  std::string text;
  if (!ReadWholeFile(HivePath(root), text)) return Hive();
  return Hive::Parse(text);
}

bool Edit(Root root, const std::function<bool(Hive&)>& change) {
  RootLock lock(root);
  if (!lock.Held()) return false;
  Hive hive = Snapshot(root);
  if (!change(hive)) return false;
  return WriteFileAtomically(HivePath(root), hive.Serialize());
}

bool CreateKey(Root root, const std::string& key) {
  return Edit(root, [&](Hive& hive) { return hive.CreateKey(key); });
}

bool KeyExists(Root root, const std::string& key) { return Snapshot(root).KeyExists(key); }

bool DeleteKey(Root root, const std::string& key) {
  return Edit(root, [&](Hive& hive) { return hive.DeleteKey(key); });
}

std::vector<std::string> SubKeyNames(Root root, const std::string& key) {
  return Snapshot(root).SubKeyNames(key);
}

bool SetString(Root root, const std::string& key, const std::string& name,
               const std::string& value) {
  return Edit(root, [&](Hive& hive) {
    return hive.SetValue(key, name, RegistryValue::String(value));
  });
}

std::optional<std::string> GetString(Root root, const std::string& key,
                                     const std::string& name) {
  auto value = Snapshot(root).GetValue(key, name);
  if (!value || value->type != RegistryValue::Type::String) return std::nullopt;
  return value->text;
}

bool SetDword(Root root, const std::string& key, const std::string& name, std::uint32_t value) {
  return Edit(root, [&](Hive& hive) {
    return hive.SetValue(key, name, RegistryValue::Dword(value));
  });
}

std::optional<std::uint32_t> GetDword(Root root, const std::string& key,
                                      const std::string& name) {
  auto value = Snapshot(root).GetValue(key, name);
  if (!value || value->type != RegistryValue::Type::Dword) return std::nullopt;
  return value->number;
}

bool DeleteValue(Root root, const std::string& key, const std::string& name) {
  return Edit(root, [&](Hive& hive) { return hive.DeleteValue(key, name); });
}

}  // namespace vantrel::registry
