// SPDX-License-Identifier: GPL-3.0-or-later
// Single texts of a menu page drawn into a rectangle the way the page layout asks:
// left, centred or right, at the top or centred vertically, clipped to the rectangle.
#pragma once

#include <string>

#include "menu/layout_style.h"
#include "menu/menu_appearance.h"

typedef struct _cairo cairo_t;
typedef struct _PangoContext PangoContext;

namespace vantrel {

class MenuFont;

// Flags with the values of the text-format flags the layout tables use.
enum TextFormat : unsigned {
  kTextLeft = 0,
  kTextCentre = 1,
  kTextRight = 2,
  kTextVerticalCentre = 4,
  kTextSingleLine = 0x20,
};

// Hinting is switched off everywhere so that a text takes exactly the same place with and
// without anti-aliasing: the button images must cover the background's captions.
void ApplyMenuFontOptions(PangoContext* context, bool antialias);

// Draws `text` with a transparent background. The cell of the font's first line (ascent +
// descent) sits at the rectangle's top, or in its middle with kTextVerticalCentre.
// Without anti-aliasing every drawn pixel has exactly `colour`.
void DrawMenuText(cairo_t* cr, const std::string& text, const MenuFont& font, const Rect& rect,
                  Colour colour, unsigned format, bool antialias);

// Characters of `text` that no installed font can show in this font's place (drawn as
// boxes); 0 when every glyph is there.
int MissingGlyphCount(const std::string& text, const MenuFont& font);

// A rectangle from its edges, as the page layout gives them.
inline Rect EdgeRect(int left, int top, int right, int bottom) {
  return Rect{left, top, right - left, bottom - top};
}

}  // namespace vantrel
