// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/font_aliases.h"

#include <fontconfig/fontconfig.h>

namespace vantrel::app {
namespace {

constexpr const char* kAliases = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <alias binding="same"><family>宋体</family>
    <prefer><family>WenQuanYi Zen Hei</family><family>Noto Sans CJK SC</family></prefer></alias>
  <alias binding="same"><family>SimSun</family>
    <prefer><family>WenQuanYi Zen Hei</family><family>Noto Sans CJK SC</family></prefer></alias>
  <alias binding="same"><family>Times New Roman</family>
    <prefer><family>Liberation Serif</family><family>DejaVu Serif</family></prefer></alias>
  <alias binding="same"><family>arial</family>
    <prefer><family>Liberation Sans</family><family>DejaVu Sans</family></prefer></alias>
</fontconfig>
)";

}  // namespace

bool InstallFontAliases() {
  FcConfig* config = FcConfigGetCurrent();
  if (!config) return false;
  return FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kAliases), FcFalse);
}

}  // namespace vantrel::app
