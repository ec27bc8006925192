// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/layout_style.h"

#include "base/atomic_file.h"
#include "base/ini_file.h"
#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {

LayoutStyle LayoutStyle::Load(const std::string& layoutIniPath, int styleIndex) {
  std::string text;
  ReadWholeFile(layoutIniPath, text);  // a missing file reads as empty
  const std::string section = Format("%d", styleIndex);
  auto read = [&](const std::string& key, int fallback) {
    std::string value;
    if (!IniFile::FindValue(text, section, key, value) || value.empty()) return fallback;
    return LeadingInt(value);
  };

  LayoutStyle style;
  int size = read("size", kFallbackSize);
  if (size < 1 || size > kMaxSize) {
    style.slots.resize(kFallbackSize);
    return style;
  }
  const Rect thumbSize{0, 0, read("micx", 0), read("micy", 0)};
  const Rect captionSize{0, 0, read("mtcx", 0), read("mtcy", 0)};
  style.slots.resize(size_t(size));
  for (int i = 1; i <= size; ++i) {
    LayoutSlot& slot = style.slots[size_t(i - 1)];
    slot.thumbnail = {read(Format("mix%d", i), 0), read(Format("miy%d", i), 0), thumbSize.width,
                      thumbSize.height};
    slot.caption = {read(Format("mtx%d", i), 0), read(Format("mty%d", i), 0), captionSize.width,
                    captionSize.height};
  }
  return style;
}

const char* LayoutStyleName(int styleIndex) {
  switch (styleIndex) {
    case 0: return Tr("6 缩略图样式");
    case 1: return Tr("8 缩略图样式");
    case 2: return Tr("12 缩略图样式");
    default: return "";
  }
}

}  // namespace vantrel
