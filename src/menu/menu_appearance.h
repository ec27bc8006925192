// SPDX-License-Identifier: GPL-3.0-or-later
// How the menu pages look: fonts, colours, texts and the background, as the menu design
// dialogs edit them. Colours are 0x00BBGGRR, the order the settings files store them in.
#pragma once

#include <cstdint>
#include <string>

#include "menu/logical_font.h"
#include "base/translation.h"

namespace vantrel {

using Colour = std::uint32_t;  // 0x00BBGGRR

constexpr int ColourRed(Colour c) { return int(c & 0xFF); }
constexpr int ColourGreen(Colour c) { return int((c >> 8) & 0xFF); }
constexpr int ColourBlue(Colour c) { return int((c >> 16) & 0xFF); }
constexpr Colour MakeColour(int r, int g, int b) {
  return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}

// Horizontal placement of a header or footer in its rectangle.
enum TextAlignment { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

struct MenuAppearance {
  Colour captionColour = 0xFFFFFF;
  Colour highlightColour = 0xFF0000;  // blue
  Colour selectColour = 0x0000FF;     // red
  LogicalFont captionFont{"Arial", 22, 500, false, 1};
  LogicalFont highlightFont{"Arial", 22, 500, false, 1};
  LogicalFont selectFont{"Arial", 22, 500, false, 1};
  LogicalFont headerFont{"Arial", 30, 600, false, 1};
  LogicalFont footerFont{"Arial", 30, 600, false, 1};
  Colour headerColour = 0xFFFFFF;
  Colour footerColour = 0xFFFFFF;
  // The text dialog sets the shadow colours before first use; black until then.
  Colour headerShadowColour = 0x000000;
  Colour footerShadowColour = 0x000000;
  bool headerShadow = true;
  bool footerShadow = true;
  // The program's default header, in the user's language; a text of the user's stays as it is.
  std::string headerText = Tr("由 Vantrel 创建");
  std::string footerText;
  Colour backgroundColour = 0x000000;
  std::string backgroundPicture;
  int headerAlignment = kAlignCentre;
  int footerAlignment = kAlignCentre;
  LogicalFont pageNumberFont{"Arial", 30, 400, false, 1};
};

// What a header or footer font becomes when its face cannot be created.
inline LogicalFont HeadlineFallbackFont() { return LogicalFont{"Arial", 30, 400, false, 1}; }
// The navigation labels never change their font.
inline LogicalFont NavigationLabelFont() { return LogicalFont{"Arial", 32, 400, false, 1}; }

}  // namespace vantrel
