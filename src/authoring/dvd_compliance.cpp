#include "authoring/dvd_compliance.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "authoring/run_status.h"

namespace vantrel {

bool HasNavigationPacks(const unsigned char* data, size_t size) {
  static const unsigned char kPci[6] = {0x00, 0x00, 0x01, 0xBF, 0x03, 0xD4};
  static const unsigned char kDsi[6] = {0x00, 0x00, 0x01, 0xBF, 0x03, 0xFA};
  bool pci = false, dsi = false;
  for (size_t i = 0; i + 6 < size; ++i) {
    if (!pci && std::memcmp(data + i, kPci, 6) == 0) pci = true;
    if (!dsi && std::memcmp(data + i, kDsi, 6) == 0) dsi = true;
    if (pci && dsi) return true;
  }
  return false;
}

bool DvdCompliance(const std::string& path, RunQuestion& questions) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    questions.ShowMessage("无法打开文件 " + path + std::strerror(errno));
    return true;
  }
  std::vector<unsigned char> head(16384);
  size_t read = std::fread(head.data(), 1, head.size(), file);
  std::fclose(file);
  return HasNavigationPacks(head.data(), read);
}

}  // namespace vantrel
