// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's logic: its controls and popup menus with their texts, tooltips and
// identifiers, the three status texts, and what every command does. The wx window binds
// its controls to this class and answers the view interface with real dialogs.
#pragma once

#include <string>
#include <vector>

#include "app/settings_dialog_logic.h"
#include "base/translation.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel::app {

// Control and command identifiers as the window's resources number them.
namespace ids {
inline constexpr int kAdd = 1000, kMenu = 1001, kRun = 1002, kSettings = 1003, kSkin = 1005,
                     kHelp = 1006, kList = 1007, kHome = 1008, kFolderBurn = 1009,
                     kRemove = 1010, kMoveUp = 1015, kMoveDown = 1016, kProperties = 1017,
                     kGauge = 1096, kMenuStyleText = 1077, kMovieSizeText = 1057,
                     kTempFolderText = 1078;
inline constexpr int kListMenu = 147, kSkinMenu = 165, kHelpMenu = 195;
inline constexpr int kCmdMoveUp = 32771, kCmdMoveDown = 32772, kCmdRemove = 32773,
                     kCmdProperties = 32774, kCmdSkinNone = 32775, kCmdSkinDevior = 32776,
                     kCmdSkinXplus = 32777, kCmdSkinKromo = 32778, kCmdTips = 32779,
                     kCmdSupport = 32782, kCmdHelpTopics = 32783, kCmdAbout = 32784;
inline constexpr int kSysAbout = 16;  // system menu entry "关于..."
}  // namespace ids

struct ButtonInfo {
  int id;
  const char* caption;  // empty for the small buttons
  int bitmap;
  const char* tooltip;
};
// Large buttons left to right, then the four small ones top to bottom.
const std::vector<ButtonInfo>& LargeButtons();
const std::vector<ButtonInfo>& SmallButtons();

struct MenuItemInfo {
  int id;            // 0 for a separator
  const char* text;
};
// Items of popup menu 147, 165 or 195; empty for another number.
const std::vector<MenuItemInfo>& PopupMenuItems(int menuResource);

// Headers of the list's columns 0 to 4, with their blanks, and their widths.
struct ColumnInfo {
  const char* header;
  int width;
};
const std::vector<ColumnInfo>& ListColumns();

namespace main_texts {
inline constexpr const char* kCaption = "Vantrel";
inline constexpr const char* kAboutItem = N_("关于...");  // string 101
inline constexpr const char* kNoTitles =
    N_("没有视频文件，请先单击 \"添加\" 按钮选择视频文件。");
inline constexpr const char* kHelpTopic = "help/overview/overview.htm";
}  // namespace main_texts

std::string MenuStyleText(int layout);              // control 1077
std::string TempFolderText(const std::string& dir);  // control 1078

// What the window does for the logic: dialogs, menus, messages and repaints.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  virtual void ShowInformation(const std::string& text) = 0;
  virtual void SetStatusText(int controlId, const std::string& text) = 0;
  virtual void ShowPopupMenu(int menuResource) = 0;
  virtual void AddFiles() = 0;
  virtual void EditSelected() = 0;
  virtual void RefreshList() = 0;
  // The plugged-in windows; each returns false when none is plugged in or it was cancelled.
  virtual bool RunMenuDesigner() = 0;
  virtual bool RunDiscFormat(DiscFormatLogic& format) = 0;
  virtual void RunBurn() = 0;
  virtual void RunFolderBurn() = 0;
  virtual void RunSettings() = 0;
  virtual void ApplySkin(int skin) = 0;
  virtual void OpenLink(const std::string& link) = 0;
  virtual void ShowHelpTopic(const std::string& path) = 0;
  virtual void ShowAbout() = 0;
  virtual void ShowTips() = 0;
};

class MainWindowLogic {
 public:
  MainWindowLogic(AppSettings& settings, MainWindowView& view);

  // Pushes the three status texts (initialisation and after dialogs).
  void RefreshStatusTexts();
  // Runs the command of a button, menu item or system menu entry; false for an unknown id.
  bool OnCommand(int id);
  // Right click on the list: the list menu, only with a selected row.
  void OnListRightClick();

  TitleList& Titles() { return titles_; }
  AppSettings& Settings() { return settings_; }
  const std::string& HomePage() const { return homepage_; }
  const std::string& SupportMail() const { return mailto_; }
  void SetSupportLinks(std::string homepage, std::string mailto);

 private:
  void DesignMenu();
  void BuildAndBurn();
  void ChooseSkin(int skin);

  AppSettings& settings_;
  MainWindowView& view_;
  TitleList titles_;
  std::string homepage_, mailto_;
};

}  // namespace vantrel::app
