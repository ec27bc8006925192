// SPDX-License-Identifier: GPL-3.0-or-later
// The button slots of one menu layout style, read from a section of layout.ini.
// Coordinates are pixels of the 720 x 576 PAL frame.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const Rect&) const = default;
};

struct LayoutSlot {
  Rect thumbnail;
  Rect caption;
};

struct LayoutStyle {
  static constexpr int kFallbackSize = 6;
  static constexpr int kMaxSize = 99;

  std::vector<LayoutSlot> slots;
  int Size() const { return int(slots.size()); }

  // Section `styleIndex` of the file. A missing file or section, or a `size` outside
  // 1..kMaxSize, gives kFallbackSize slots whose values are all 0.
  static LayoutStyle Load(const std::string& layoutIniPath, int styleIndex);
};

// The texts under which the layout dialog lists the three styles.
const char* LayoutStyleName(int styleIndex);

}  // namespace vantrel
