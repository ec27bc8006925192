// SPDX-License-Identifier: GPL-3.0-or-later
// What the menu design dialogs do to the menu model and the settings, without windows:
// the lists they offer, which entry each list selects when a dialog opens, the immediate
// write-back of every change in the text dialog and which changes repaint the preview,
// and what OK and Cancel keep.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "menu/menu_appearance.h"
#include "menu/menu_choices.h"
#include "base/translation.h"

namespace vantrel {

struct AppSettings;
class MenuModel;
class TitleList;

// Font heights the size lists offer, in pixels of the 720-wide menu frame.
inline constexpr std::array<int, 19> kMenuFontSizes = {6,  7,  8,  9,  10, 11, 12, 14, 16, 18,
                                                       20, 22, 24, 26, 28, 30, 36, 48, 72};
inline constexpr std::array<const char*, 3> kLayoutChoices = {N_("6 缩略图样式"), N_("8 缩略图样式"),
                                                              N_("12 缩略图样式")};
inline constexpr std::array<const char*, 3> kAlignmentChoices = {N_("左边"), N_("居中"), N_("右边")};

// The font list entry for a face: the exact (case-sensitive) name, else the first entry.
int FontListSelection(const std::vector<std::string>& faces, const std::string& face);
// The size list entry for a height, or -1 when the list has no such size.
int SizeListSelection(int height);

// The layout dialog's OK: the style and the two rule flags go into the settings, the
// play-all button and the chapter pages into the menu's choices, and the model is rebuilt
// from the title list, even when nothing changed. (The chapter pages are laid out by a
// run, which knows the chapters.)
void ApplyLayoutChoice(AppSettings& settings, MenuModel& model, const TitleList& titles,
                       int style, bool headerLine, bool footerLine, bool playAll, bool chapterMenus = false);

// The background dialog: its picture path after the file dialog (a cancelled file dialog
// removes the picture), and its OK.
struct BackgroundChoice {
  std::string picture;
  Colour colour = 0;
  // The "背景颜色:" label is enabled only while no picture is chosen.
  bool ColourLabelEnabled() const { return picture.empty(); }
  void FileDialogClosed(bool chosen, const std::string& path) { picture = chosen ? path : ""; }
};
BackgroundChoice OpenBackgroundChoice(const MenuAppearance& look);
void ApplyBackgroundChoice(MenuAppearance& look, const BackgroundChoice& choice);

// The moving-menu dialog "动态菜单": its choices until OK. As in the background dialog, a
// cancelled file dialog removes the file.
struct MotionChoice {
  MenuMotion motion;
  void VideoDialogClosed(bool chosen, const std::string& path) { motion.backgroundVideo = chosen ? path : ""; }
  void MusicDialogClosed(bool chosen, const std::string& path) { motion.music = chosen ? path : ""; }
  // The length field: whole seconds within what a menu film may last.
  void SetSeconds(int seconds);
};
inline MotionChoice OpenMotionChoice(const MenuChoices& choices) { return MotionChoice{choices.motion}; }
inline void ApplyMotionChoice(MenuChoices& choices, const MotionChoice& choice) { choices.motion = choice.motion; }

// One group ("页眉" or "页脚") of the text dialog as its controls show it.
struct HeadlineControls {
  std::string text;
  int face = 0;       // font list entry
  int size = -1;      // size list entry, -1 none
  int alignment = 1;
  bool bold = false;
  bool italic = false;
  bool shadow = false;
  Colour colour = 0;
  Colour shadowColour = 0;
};

// The text dialog. Every change is written into the appearance at once; each setter
// returns true when the designer's preview must repaint. The texts wait for OK.
class MenuTextEdit {
 public:
  MenuTextEdit(MenuAppearance& look, std::vector<std::string> faces);

  HeadlineControls Opening(bool header) const;
  const std::vector<std::string>& Faces() const { return faces_; }

  bool ChooseFace(bool header, int entry);
  bool ChooseSize(bool header, int entry);
  bool ChooseAlignment(bool header, int entry);
  bool SetStyle(bool header, bool bold, bool italic);
  bool SetColour(bool header, Colour colour);
  bool SetShadowColour(bool header, Colour colour);
  bool SetShadow(bool header, bool on);
  // OK: the two edits become the header and footer texts. Cancel does nothing, so the
  // other changes stay.
  void Ok(const std::string& headerText, const std::string& footerText);

 private:
  LogicalFont& Font(bool header);

  MenuAppearance& look_;
  std::vector<std::string> faces_;
};

}  // namespace vantrel
