// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window_logic.h"

#include "app/startup_steps.h"
#include "base/translation.h"

namespace vantrel::app {

const std::vector<ButtonInfo>& LargeButtons() {
  static const std::vector<ButtonInfo> kButtons = {
      {ids::kAdd, N_("添加"), 150, N_("选择并添加文件")},
      {ids::kMenu, N_("菜单"), 152, N_("设计菜单")},
      {ids::kRun, N_("运行"), 153, N_("授权 DVD 并刻录到光盘")},
      {ids::kSettings, N_("设置"), 155, N_("设置...")},
      {ids::kFolderBurn, N_("刻录"), 206, N_("从“VIDEO_TS”目录刻录视频 DVD")},
      {ids::kSkin, N_("皮肤"), 154, N_("选择皮肤")},
      {ids::kHome, N_("主页"), 194, N_("官方网站")},
      {ids::kHelp, N_("帮助"), 157, N_("帮助")},
  };
  return kButtons;
}

const std::vector<ButtonInfo>& SmallButtons() {
  static const std::vector<ButtonInfo> kButtons = {
      {ids::kMoveUp, "", 202, N_("移动选定的对象到上一位置")},
      {ids::kMoveDown, "", 201, N_("移动选定的对象到下一位置")},
      {ids::kRemove, "", 200, N_("移除选定的对象")},
      {ids::kProperties, "", 204, N_("属性")},
  };
  return kButtons;
}

const std::vector<MenuItemInfo>& PopupMenuItems(int menuResource) {
  static const std::vector<MenuItemInfo> kList = {{ids::kCmdMoveUp, N_("上移")},
                                                  {ids::kCmdMoveDown, N_("下移")},
                                                  {ids::kCmdRemove, N_("删除")},
                                                  {0, ""},
                                                  {ids::kCmdProperties, N_("属性")}};
  static const std::vector<MenuItemInfo> kSkin = {{ids::kCmdSkinNone, N_("无")},
                                                  {ids::kCmdSkinDevior, "Devior"},
                                                  {ids::kCmdSkinXplus, "X-plus"},
                                                  {ids::kCmdSkinKromo, "Kromo"}};
  static const std::vector<MenuItemInfo> kHelp = {{ids::kCmdHelpTopics, N_("帮助目录")},
                                                  {ids::kCmdAbout, N_("关于...")},
                                                  {ids::kCmdSupport, N_("技术支持")},
                                                  {0, ""},
                                                  {ids::kCmdTips, N_("每日提示")}};
  static const std::vector<MenuItemInfo> kNone;
  switch (menuResource) {
    case ids::kListMenu: return kList;
    case ids::kSkinMenu: return kSkin;
    case ids::kHelpMenu: return kHelp;
    default: return kNone;
  }
}

const std::vector<ColumnInfo>& ListColumns() {
  static const std::vector<ColumnInfo> kColumns = {
      {"", 0}, {N_("  曲目"), 50}, {N_("  预览 "), 110}, {N_("  标题 "), 240}, {N_("  视频长度 "), 110}};
  return kColumns;
}

std::string MenuStyleText(int layout) { return Tr("菜单样式 - ") + LayoutName(layout); }
std::string TempFolderText(const std::string& dir) { return Tr("临时目录: ") + dir; }

MainWindowLogic::MainWindowLogic(AppSettings& settings, MainWindowView& view)
    : settings_(settings), view_(view) {}

void MainWindowLogic::SetSupportLinks(std::string homepage, std::string mailto) {
  homepage_ = std::move(homepage);
  mailto_ = std::move(mailto);
}

void MainWindowLogic::RefreshStatusTexts() {
  view_.SetStatusText(ids::kMenuStyleText, MenuStyleText(settings_.layout));
  view_.SetStatusText(ids::kMovieSizeText, titles_.MovieSizeText());
  view_.SetStatusText(ids::kTempFolderText, TempFolderText(settings_.temppath));
}

bool MainWindowLogic::OnCommand(int id) {
  switch (id) {
    case ids::kAdd: view_.AddFiles(); break;
    case ids::kMenu: DesignMenu(); break;
    case ids::kRun: BuildAndBurn(); break;
    case ids::kSettings:
      view_.RunSettings();
      view_.SetStatusText(ids::kTempFolderText, TempFolderText(settings_.temppath));
      break;
    case ids::kFolderBurn: view_.RunFolderBurn(); break;
    case ids::kSkin: view_.ShowPopupMenu(ids::kSkinMenu); break;
    case ids::kHelp: view_.ShowPopupMenu(ids::kHelpMenu); break;
    case ids::kHome: view_.OpenLink(homepage_); break;
    case ids::kMoveUp:
    case ids::kCmdMoveUp:
      if (titles_.MoveUp()) view_.RefreshList();
      break;
    case ids::kMoveDown:
    case ids::kCmdMoveDown:
      if (titles_.MoveDown()) view_.RefreshList();
      break;
    case ids::kRemove:
    case ids::kCmdRemove:
      if (titles_.RemoveSelected()) {
        view_.RefreshList();
        view_.SetStatusText(ids::kMovieSizeText, titles_.MovieSizeText());
      }
      break;
    case ids::kProperties:
    case ids::kCmdProperties: view_.EditSelected(); break;
    case ids::kCmdSkinNone: ChooseSkin(0); break;
    case ids::kCmdSkinDevior: ChooseSkin(1); break;
    case ids::kCmdSkinXplus: ChooseSkin(2); break;
    case ids::kCmdSkinKromo: ChooseSkin(3); break;
    case ids::kCmdHelpTopics: view_.ShowHelpTopic(main_texts::kHelpTopic); break;
    case ids::kCmdSupport: view_.OpenLink(mailto_); break;
    case ids::kCmdAbout: view_.ShowAbout(); break;
    case ids::kCmdTips: view_.ShowTips(); break;
    default:
      if (id >= ids::kSysAbout && id <= 31) {
        view_.ShowAbout();
        break;
      }
      return false;
  }
  return true;
}

void MainWindowLogic::OnListRightClick() {
  if (titles_.SelectedRow() >= 0) view_.ShowPopupMenu(ids::kListMenu);
}

void MainWindowLogic::DesignMenu() {
  if (titles_.Count() == 0) {
    view_.ShowInformation(main_texts::kNoTitles);
    return;
  }
  if (view_.RunMenuDesigner())
    view_.SetStatusText(ids::kMenuStyleText, MenuStyleText(settings_.layout));
}

void MainWindowLogic::BuildAndBurn() {
  if (titles_.Count() == 0) {
    view_.ShowInformation(main_texts::kNoTitles);
    return;
  }
  DiscFormatLogic format{settings_.filesystem, settings_.resolution, settings_.disccapacity};
  if (!view_.RunDiscFormat(format)) return;
  settings_.filesystem = format.fileSystem;
  settings_.resolution = format.standard;
  settings_.disccapacity = format.discCapacity;
  view_.RunBurn();
}

void MainWindowLogic::ChooseSkin(int skin) {
  settings_.skin = skin;
  view_.ApplySkin(skin);
}

}  // namespace vantrel::app
