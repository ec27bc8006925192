// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/menu_design.h"

#include <algorithm>

#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel {

int FontListSelection(const std::vector<std::string>& faces, const std::string& face) {
  auto it = std::find(faces.begin(), faces.end(), face);
  return it == faces.end() ? 0 : int(it - faces.begin());
}

int SizeListSelection(int height) {
  auto it = std::find(kMenuFontSizes.begin(), kMenuFontSizes.end(), height);
  return it == kMenuFontSizes.end() ? -1 : int(it - kMenuFontSizes.begin());
}

void ApplyLayoutChoice(AppSettings& settings, MenuModel& model, const TitleList& titles,
                       int style, bool headerLine, bool footerLine, bool playAll, bool chapterMenus) {
  settings.layout = style;
  settings.headline = headerLine ? 1 : 0;
  settings.footline = footerLine ? 1 : 0;
  model.Choices().playAll = playAll;  // the disc's own choices, kept with the project
  model.Choices().chapterMenus = chapterMenus;
  model.Rebuild(titles, settings.layout, settings.IsNtsc());
}

BackgroundChoice OpenBackgroundChoice(const MenuAppearance& look) {
  return BackgroundChoice{look.backgroundPicture, look.backgroundColour};
}

void ApplyBackgroundChoice(MenuAppearance& look, const BackgroundChoice& choice) {
  look.backgroundPicture = choice.picture;
  look.backgroundColour = choice.colour;
}

void MotionChoice::SetSeconds(int seconds) {
  motion.seconds = std::clamp(double(seconds), MenuMotion::kMinSeconds, MenuMotion::kMaxSeconds);
}

MenuTextEdit::MenuTextEdit(MenuAppearance& look, std::vector<std::string> faces)
    : look_(look), faces_(std::move(faces)) {}

LogicalFont& MenuTextEdit::Font(bool header) {
  return header ? look_.headerFont : look_.footerFont;
}

HeadlineControls MenuTextEdit::Opening(bool header) const {
  const LogicalFont& font = header ? look_.headerFont : look_.footerFont;
  HeadlineControls c;
  c.text = header ? look_.headerText : look_.footerText;
  c.face = FontListSelection(faces_, font.face);
  c.size = SizeListSelection(font.height);
  c.alignment = header ? look_.headerAlignment : look_.footerAlignment;
  c.bold = font.weight == 700;
  c.italic = font.italic;
  c.shadow = header ? look_.headerShadow : look_.footerShadow;
  c.colour = header ? look_.headerColour : look_.footerColour;
  c.shadowColour = header ? look_.headerShadowColour : look_.footerShadowColour;
  return c;
}

bool MenuTextEdit::ChooseFace(bool header, int entry) {
  if (entry < 0 || entry >= int(faces_.size())) return false;
  Font(header).face = faces_[size_t(entry)];
  return true;
}

bool MenuTextEdit::ChooseSize(bool header, int entry) {
  if (entry < 0 || entry >= int(kMenuFontSizes.size())) return false;
  Font(header).height = kMenuFontSizes[size_t(entry)];
  return true;
}

bool MenuTextEdit::ChooseAlignment(bool header, int entry) {
  if (entry < 0 || entry >= int(kAlignmentChoices.size())) return false;
  (header ? look_.headerAlignment : look_.footerAlignment) = entry;
  return true;
}

bool MenuTextEdit::SetStyle(bool header, bool bold, bool italic) {
  Font(header).weight = bold ? 700 : 400;
  Font(header).italic = italic;
  return true;
}

bool MenuTextEdit::SetColour(bool header, Colour colour) {
  (header ? look_.headerColour : look_.footerColour) = colour;
  return true;
}

bool MenuTextEdit::SetShadowColour(bool header, Colour colour) {
  (header ? look_.headerShadowColour : look_.footerShadowColour) = colour;
  return true;
}

bool MenuTextEdit::SetShadow(bool header, bool on) {
  (header ? look_.headerShadow : look_.footerShadow) = on;
  return false;  // the shadow boxes leave the preview as it is
}

void MenuTextEdit::Ok(const std::string& headerText, const std::string& footerText) {
  look_.headerText = headerText;
  look_.footerText = footerText;
}

}  // namespace vantrel
