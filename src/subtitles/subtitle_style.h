// SPDX-License-Identifier: GPL-3.0-or-later
// The disc's subtitle style: how text from SRT, WebVTT and mov_text is drawn. ASS files
// keep the styles they carry.
#pragma once

#include <cstdint>
#include <string>

#include "subtitles/subpicture_geometry.h"

namespace vantrel {

struct SubtitleStyle {
  std::string font = "Liberation Sans";  // a fontconfig family; missing glyphs fall back
  double size = 36;                      // letter height in picture lines (576-line picture)
  std::uint32_t fill = 0xFFFFFF;         // 0xRRGGBB
  std::uint32_t outline = 0x000000;
  double outlineWidth = 3;  // in picture pixels
  bool bold = false;
};

// The ASS header of a track drawn in `style`: its play resolution is the action-safe area
// of `geometry`, so sizes and margins are picture pixels. The style is named "Default",
// the name FFmpeg's decoders give their events.
std::string AssHeaderOf(const SubtitleStyle& style, const SubpictureGeometry& geometry);

}  // namespace vantrel
