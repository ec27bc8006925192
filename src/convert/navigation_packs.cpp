// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/navigation_packs.h"

#include <cstring>

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

}  // namespace vantrel
