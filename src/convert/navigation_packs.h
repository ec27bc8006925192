// SPDX-License-Identifier: GPL-3.0-or-later
// The mark of a DVD-Video program stream: within its first 16 KB, the PCI packet
// (00 00 01 BF 03 D4) and the DSI packet (00 00 01 BF 03 FA) of a navigation pack.
#pragma once

#include <cstddef>

namespace vantrel {

inline constexpr size_t kNavigationScanBytes = 16384;

// True when both packet headers start at an offset below size - 6 (so a buffer of fewer
// than 7 bytes never has them).
bool HasNavigationPacks(const unsigned char* data, size_t size);

}  // namespace vantrel
