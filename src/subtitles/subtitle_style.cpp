// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/subtitle_style.h"

#include <cmath>

#include "base/text_format.h"

namespace vantrel {
namespace {

// ASS writes colours as &HAABBGGRR.
std::string AssColour(std::uint32_t rgb) {
  const unsigned r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return Format("&H00%02X%02X%02X", b, g, r);
}

}  // namespace

std::string AssHeaderOf(const SubtitleStyle& style, const SubpictureGeometry& geometry) {
  const SafeArea safe = geometry.ActionSafe();
  // Sizes are given for a 576-line picture; NTSC's 480 lines get them in proportion.
  const double scale = geometry.height / 576.0;
  std::string font = style.font;
  for (char& c : font)
    if (c == ',') c = ' ';  // a comma would end the field
  return "[Script Info]\nScriptType: v4.00+\n" + Format("PlayResX: %d\nPlayResY: %d\n", safe.width, safe.height) +
         "ScaledBorderAndShadow: yes\nWrapStyle: 0\n\n[V4+ Styles]\n"
         "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, "
         "Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, "
         "MarginL, MarginR, MarginV, Encoding\n" +
         Format("Style: Default,%s,%.2f,%s,%s,%s,&H00000000,%d,0,0,0,100,100,0,0,1,%.2f,0,2,%d,%d,%d,1\n\n",
                font.c_str(), style.size * scale, AssColour(style.fill).c_str(), AssColour(style.fill).c_str(),
                AssColour(style.outline).c_str(), style.bold ? -1 : 0, style.outlineWidth * scale, 8, 8,
                static_cast<int>(std::lround(8 * scale))) +
         "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";
}

}  // namespace vantrel
