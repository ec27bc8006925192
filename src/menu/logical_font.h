// SPDX-License-Identifier: GPL-3.0-or-later
// A font as the menu settings describe it, and its resolution through fontconfig into a
// pango font description whose cell height (ascent + descent) is the requested height.
#pragma once

#include <optional>
#include <string>

typedef struct _PangoFontDescription PangoFontDescription;

namespace vantrel {

struct LogicalFont {
  std::string face;
  int height = 0;  // pixels: > 0 the character cell, < 0 the em size
  int weight = 400;
  bool italic = false;
  int charset = 1;  // 1 default; 134 GB2312, 136 Big5, 128 Shift-JIS, 129 Hangul
  bool operator==(const LogicalFont&) const = default;
};

// True when fontconfig has the face installed, either under that family name or as a
// family the configuration declares as the same font (Arial -> Liberation Sans).
bool IsFontFaceInstalled(const std::string& face);

// The pango language tag a character set asks for ("" when it names none).
const char* LanguageForCharset(int charset);

// A created font: the pango description sized to the logical height, and its metrics in
// pixels. Glyphs missing from the face come from fontconfig's fallback fonts when drawn.
class MenuFont {
 public:
  MenuFont(const MenuFont&) = delete;
  MenuFont& operator=(const MenuFont&) = delete;
  MenuFont(MenuFont&& other) noexcept;
  MenuFont& operator=(MenuFont&& other) noexcept;
  ~MenuFont();

  // Fails when the face is not installed.
  static std::optional<MenuFont> Create(const LogicalFont& font);
  // Never fails: an uninstalled face gets fontconfig's nearest font.
  static MenuFont Resolve(const LogicalFont& font);

  const PangoFontDescription* Description() const { return description_; }
  const LogicalFont& Logical() const { return logical_; }
  double Ascent() const { return ascent_; }
  double Descent() const { return descent_; }
  double CellHeight() const { return ascent_ + descent_; }

 private:
  explicit MenuFont(const LogicalFont& font);
  LogicalFont logical_;
  PangoFontDescription* description_ = nullptr;
  double ascent_ = 0;
  double descent_ = 0;
};

}  // namespace vantrel
