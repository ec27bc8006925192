// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/dvd_compliance.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "authoring/run_status.h"
#include "base/translation.h"
#include "convert/navigation_packs.h"

namespace vantrel {

bool DvdCompliance(const std::string& path, RunQuestion& questions) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    questions.ShowMessage(Tr("无法打开文件 ") + path + "\n" + std::strerror(errno));
    return true;
  }
  std::vector<unsigned char> head(kNavigationScanBytes);
  size_t read = std::fread(head.data(), 1, head.size(), file);
  std::fclose(file);
  return HasNavigationPacks(head.data(), read);
}

}  // namespace vantrel
