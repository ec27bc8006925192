// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/text_drawing.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>

#include "menu/logical_font.h"

namespace vantrel {

void ApplyMenuFontOptions(PangoContext* context, bool antialias) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
}

void DrawMenuText(cairo_t* cr, const std::string& text, const MenuFont& font, const Rect& rect,
                  Colour colour, unsigned format, bool antialias) {
  if (text.empty() || rect.width <= 0 || rect.height <= 0) return;
  // File names need not be UTF-8; a stray byte must not lose the whole caption.
  gchar* valid = g_utf8_make_valid(text.c_str(), gssize(text.size()));
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoContext* context = pango_layout_get_context(layout);
  ApplyMenuFontOptions(context, antialias);
  if (const char* language = LanguageForCharset(font.Logical().charset); *language)
    pango_context_set_language(context, pango_language_from_string(language));
  pango_layout_context_changed(layout);
  pango_layout_set_font_description(layout, font.Description());
  if (format & kTextSingleLine) pango_layout_set_single_paragraph_mode(layout, TRUE);
  pango_layout_set_text(layout, valid, -1);
  g_free(valid);

  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  const double width = logical.width / double(PANGO_SCALE);
  double x = rect.left;
  if (format & kTextCentre)
    x = rect.left + (rect.width - width) / 2;
  else if (format & kTextRight)
    x = rect.Right() - width;
  double cellTop = rect.top;
  if (format & kTextVerticalCentre) cellTop = rect.top + std::floor((rect.height - font.CellHeight()) / 2);
  // Whole-pixel baselines, so that captions in different scripts sit on the same row.
  const double baseline = std::round(cellTop + font.Ascent());
  const double y = baseline - pango_layout_get_baseline(layout) / double(PANGO_SCALE);

  cairo_save(cr);
  cairo_rectangle(cr, rect.left, rect.top, rect.width, rect.height);
  cairo_clip(cr);
  cairo_set_antialias(cr, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgb(cr, ColourRed(colour) / 255.0, ColourGreen(colour) / 255.0,
                       ColourBlue(colour) / 255.0);
  cairo_move_to(cr, std::round(x - logical.x / double(PANGO_SCALE)), y);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
  g_object_unref(layout);
}

int MissingGlyphCount(const std::string& text, const MenuFont& font) {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(map);
  ApplyMenuFontOptions(context, true);
  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, font.Description());
  pango_layout_set_text(layout, text.c_str(), -1);
  const int missing = pango_layout_get_unknown_glyphs_count(layout);
  g_object_unref(layout);
  g_object_unref(context);
  return missing;
}

}  // namespace vantrel
