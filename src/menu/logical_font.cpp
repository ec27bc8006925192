// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/logical_font.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <set>
#include <tuple>
#include <utility>

#include "base/paths.h"
#include "menu/text_drawing.h"

namespace vantrel {
namespace {

// The families a pattern for `face` holds with a strong or "same" binding after the
// configuration's substitutions: the face itself and the fonts declared equal to it.
// Generic fallbacks come in weakly and do not count.
std::set<std::string> BoundFamilies(FcPattern* pattern) {
  std::set<std::string> families;
  FcValue value;
  FcValueBinding binding;
  for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch;
       ++i) {
    if (value.type == FcTypeString && binding != FcValueBindingWeak)
      families.insert(AsciiLower(reinterpret_cast<const char*>(value.u.s)));
  }
  return families;
}

PangoContext* MeasuringContext() {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(map);
  ApplyMenuFontOptions(context, true);
  return context;
}

// Ascent and descent, in pixels, of the face's primary font at an em size.
std::pair<double, double> Metrics(PangoContext* context, PangoFontDescription* description,
                                  const char* language) {
  PangoFont* font = pango_context_load_font(context, description);
  if (!font) return {0, 0};
  PangoLanguage* lang = *language ? pango_language_from_string(language) : nullptr;
  PangoFontMetrics* metrics = pango_font_get_metrics(font, lang);
  std::pair<double, double> result{pango_font_metrics_get_ascent(metrics) / double(PANGO_SCALE),
                                   pango_font_metrics_get_descent(metrics) / double(PANGO_SCALE)};
  pango_font_metrics_unref(metrics);
  g_object_unref(font);
  return result;
}

}  // namespace

bool IsFontFaceInstalled(const std::string& face) {
  if (face.empty()) return false;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  std::set<std::string> accepted = BoundFamilies(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  bool installed = false;
  FcChar8* family = nullptr;
  for (int i = 0; match && FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
    installed = installed || accepted.count(AsciiLower(reinterpret_cast<const char*>(family))) > 0;
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return installed;
}

const char* LanguageForCharset(int charset) {
  switch (charset) {
    case 134: return "zh-cn";
    case 136: return "zh-tw";
    case 128: return "ja";
    case 129: return "ko";
    default: return "";
  }
}

// A weight from 600 up is bold: faces with only a regular and a bold take the bold one as
// they would for 600, and the characters they lack (Chinese beside a Latin face) come from
// a fallback face drawn bold too, where a semibold request would leave them regular.
PangoWeight WeightOf(int weight) {
  if (weight <= 0) return PANGO_WEIGHT_NORMAL;
  if (weight >= 600 && weight < 700) return PANGO_WEIGHT_BOLD;
  return PangoWeight(weight);
}

MenuFont::MenuFont(const LogicalFont& font) : logical_(font) {
  description_ = pango_font_description_new();
  pango_font_description_set_family(description_, font.face.empty() ? "sans-serif" : font.face.c_str());
  pango_font_description_set_weight(description_, WeightOf(font.weight));
  pango_font_description_set_style(description_, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);

  // A positive height is the whole character cell, as the settings mean it; find the em
  // size that gives that cell in this face.
  constexpr double kProbeEm = 100;
  PangoContext* context = MeasuringContext();
  const char* language = LanguageForCharset(font.charset);
  double em = font.height < 0 ? -font.height : font.height;
  if (font.height > 0) {
    pango_font_description_set_absolute_size(description_, kProbeEm * PANGO_SCALE);
    auto [ascent, descent] = Metrics(context, description_, language);
    if (ascent + descent > 0) em = font.height * kProbeEm / (ascent + descent);
  }
  if (em < 1) em = 1;
  pango_font_description_set_absolute_size(description_, em * PANGO_SCALE);
  std::tie(ascent_, descent_) = Metrics(context, description_, language);
  g_object_unref(context);
}

MenuFont::MenuFont(MenuFont&& other) noexcept
    : logical_(std::move(other.logical_)),
      description_(std::exchange(other.description_, nullptr)),
      ascent_(other.ascent_),
      descent_(other.descent_) {}

MenuFont& MenuFont::operator=(MenuFont&& other) noexcept {
  if (this != &other) {
    if (description_) pango_font_description_free(description_);
    logical_ = std::move(other.logical_);
    description_ = std::exchange(other.description_, nullptr);
    ascent_ = other.ascent_;
    descent_ = other.descent_;
  }
  return *this;
}

MenuFont::~MenuFont() {
  if (description_) pango_font_description_free(description_);
}

std::optional<MenuFont> MenuFont::Create(const LogicalFont& font) {
  if (!IsFontFaceInstalled(font.face)) return std::nullopt;
  return MenuFont(font);
}

MenuFont MenuFont::Resolve(const LogicalFont& font) { return MenuFont(font); }

}  // namespace vantrel
