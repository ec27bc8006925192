// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/temp_folder.h"

#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/paths.h"

namespace vantrel::test {

TempFolder::TempFolder() {
  std::string pattern = "/tmp/vantrel test 测试 XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() { DeleteFolderTree(path_); }

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = getenv(name)) {
    had_ = true;
    old_ = old;
  }
  setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (had_)
    setenv(name_.c_str(), old_.c_str(), 1);
  else
    unsetenv(name_.c_str());
}

SmallFileSystem::SmallFileSystem(const std::string& path, const std::string& size, bool readOnly) : path_(path) {
  mkdir(path.c_str(), 0755);
  mounted_ = mount("tmpfs", path.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, ("size=" + size).c_str()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
  if (mounted_) umount2(path_.c_str(), MNT_DETACH);
}

}  // namespace vantrel::test
