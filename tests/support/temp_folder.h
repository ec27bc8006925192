// SPDX-License-Identifier: GPL-3.0-or-later
// Test helpers: a fresh folder per test, removed afterwards, and small file utilities.
#pragma once

#include <string>

namespace vantrel::test {

class TempFolder {
 public:
  TempFolder();  // a new folder under /tmp whose name contains a blank and Chinese
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }  // no trailing "/"
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_ = false;
  std::string old_;
};

// A small file system of its own (tmpfs of `size`, e.g. "1m") mounted at `path`, for runs
// that must meet a full disk (or, `readOnly`, a folder nothing can be written to, even by
// root); unmounted with the object. Mounted() is false where this process may not mount
// one: the test then skips.
class SmallFileSystem {
 public:
  SmallFileSystem(const std::string& path, const std::string& size, bool readOnly = false);
  ~SmallFileSystem();
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

}  // namespace vantrel::test
