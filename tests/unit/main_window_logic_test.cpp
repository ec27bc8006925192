// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: which window each opens, the empty-list message, the disc
// format choices written back, the skin commands, and the status texts.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_window_logic.h"
#include "support/temp_folder.h"

namespace vantrel::app {
namespace {

struct RecordingView : MainWindowView {
  std::vector<std::string> calls;
  std::map<int, std::string> texts;
  bool discFormatOk = true;
  int chosenFileSystem = 0, chosenStandard = 0, chosenCapacity = 0;
  int presetFileSystem = -1, presetStandard = -1, presetCapacity = -1;
  int appliedSkin = -1;

  void ShowInformation(const std::string& text) override { calls.push_back("info:" + text); }
  void SetStatusText(int id, const std::string& text) override { texts[id] = text; }
  void ShowPopupMenu(int menu) override { calls.push_back("popup:" + std::to_string(menu)); }
  void AddFiles() override { calls.push_back("add"); }
  void EditSelected() override { calls.push_back("edit"); }
  void RefreshList() override { calls.push_back("refresh"); }
  bool RunMenuDesigner() override {
    calls.push_back("designer");
    return true;
  }
  bool RunDiscFormat(DiscFormatLogic& format) override {
    calls.push_back("discformat");
    presetFileSystem = format.fileSystem;
    presetStandard = format.standard;
    presetCapacity = format.discCapacity;
    format.fileSystem = chosenFileSystem;
    format.standard = chosenStandard;
    format.discCapacity = chosenCapacity;
    return discFormatOk;
  }
  void RunBurn() override { calls.push_back("burn"); }
  void RunFolderBurn() override { calls.push_back("folderburn"); }
  void RunSettings() override { calls.push_back("settings"); }
  void ApplySkin(int skin) override { appliedSkin = skin; }
  void OpenLink(const std::string& link) override { calls.push_back("link:" + link); }
  void ShowHelpTopic(const std::string& path) override { calls.push_back("help:" + path); }
  void ShowAbout() override { calls.push_back("about"); }
  void ShowTips() override { calls.push_back("tips"); }
};

class MainWindowLogicTest : public ::testing::Test {
 protected:
  MainWindowLogicTest() : settings(folder / "Settings.ini"), logic(settings, view) {
    settings.temppath = "/home/me/vantrel_dvd";
  }
  void AddTitle(double seconds) {
    auto record = std::make_unique<TitleRecord>();
    record->SourcePath = folder / "clip.mpg";
    record->Duration = seconds;
    logic.Titles().AppendTitle(std::move(record), -1);
  }
  test::TempFolder folder;
  AppSettings settings;
  RecordingView view;
  MainWindowLogic logic;
};

constexpr const char* kNoTitles = "info:没有视频文件，请先单击 \"添加\" 按钮选择视频文件。";

TEST_F(MainWindowLogicTest, MenuAndRunNeedTitles) {
  EXPECT_TRUE(logic.OnCommand(ids::kMenu));
  EXPECT_TRUE(logic.OnCommand(ids::kRun));
  EXPECT_EQ(view.calls, (std::vector<std::string>{kNoTitles, kNoTitles}));
}

TEST_F(MainWindowLogicTest, RunPresetsTheDiscFormatAndStoresTheChoiceOnlyOnOk) {
  AddTitle(10);
  settings.filesystem = 1;
  settings.resolution = 1;
  view.chosenFileSystem = 0;
  view.chosenStandard = 0;
  settings.disccapacity = 1;
  view.chosenCapacity = 0;
  view.discFormatOk = false;
  logic.OnCommand(ids::kRun);
  EXPECT_EQ(view.presetFileSystem, 1);
  EXPECT_EQ(view.presetStandard, 1);
  EXPECT_EQ(view.presetCapacity, 1);
  EXPECT_EQ(settings.filesystem, 1);  // cancel changes nothing and opens no burn dialog
  EXPECT_EQ(settings.disccapacity, 1);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"discformat"}));
  view.discFormatOk = true;
  logic.OnCommand(ids::kRun);
  EXPECT_EQ(settings.filesystem, 0);
  EXPECT_EQ(settings.resolution, 0);
  EXPECT_EQ(settings.disccapacity, 0);
  EXPECT_EQ(view.calls.back(), "burn");
}

TEST_F(MainWindowLogicTest, MenuDesignerRefreshesTheLayoutText) {
  AddTitle(10);
  settings.layout = 0;
  logic.OnCommand(ids::kMenu);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"designer"}));
  EXPECT_EQ(view.texts[ids::kMenuStyleText], "菜单样式 - 6 缩略图");
}

TEST_F(MainWindowLogicTest, SettingsRefreshTheFolderTextWhateverTheResult) {
  logic.OnCommand(ids::kSettings);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"settings"}));
  EXPECT_EQ(view.texts[ids::kTempFolderText], "临时目录: /home/me/vantrel_dvd");
}

TEST_F(MainWindowLogicTest, ListMenuOnlyWithASelectedRow) {
  logic.OnListRightClick();
  EXPECT_TRUE(view.calls.empty());
  AddTitle(10);
  logic.Titles().Select(0);
  logic.OnListRightClick();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"popup:147"}));
}

TEST_F(MainWindowLogicTest, ButtonsAndMenuItemsShareTheirCommands) {
  AddTitle(10);
  AddTitle(20);
  logic.Titles().Select(1);
  logic.OnCommand(ids::kCmdMoveUp);
  EXPECT_EQ(logic.Titles().SelectedRow(), 0);
  logic.OnCommand(ids::kMoveDown);
  EXPECT_EQ(logic.Titles().SelectedRow(), 1);
  logic.OnCommand(ids::kCmdRemove);
  EXPECT_EQ(logic.Titles().Count(), 1);
  EXPECT_DOUBLE_EQ(logic.Titles().TotalDuration(), 10);  // the moved 20-second title went
  logic.OnCommand(ids::kRemove);  // nothing selected now: nothing happens
  EXPECT_EQ(logic.Titles().Count(), 1);
  view.calls.clear();
  logic.OnCommand(ids::kProperties);
  logic.OnCommand(ids::kCmdProperties);
  logic.OnCommand(ids::kSkin);
  logic.OnCommand(ids::kHelp);
  logic.OnCommand(ids::kCmdHelpTopics);
  logic.OnCommand(ids::kCmdTips);
  logic.OnCommand(ids::kCmdAbout);
  logic.OnCommand(ids::kSysAbout);
  logic.OnCommand(ids::kFolderBurn);
  logic.OnCommand(ids::kAdd);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"edit", "edit", "popup:165", "popup:195",
                                                  "help:help/overview/overview.htm", "tips", "about",
                                                  "about", "folderburn", "add"}));
  EXPECT_FALSE(logic.OnCommand(4242));
}

TEST_F(MainWindowLogicTest, LinksComeFromTheSupportFile) {
  logic.SetSupportLinks("https://home.example/", "mailto:help@example");
  logic.OnCommand(ids::kHome);
  logic.OnCommand(ids::kCmdSupport);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"link:https://home.example/", "link:mailto:help@example"}));
}

TEST_F(MainWindowLogicTest, SkinCommandsSetTheSettingAndTheLook) {
  const std::pair<int, int> cases[] = {{ids::kCmdSkinNone, 0}, {ids::kCmdSkinDevior, 1},
                                       {ids::kCmdSkinXplus, 2}, {ids::kCmdSkinKromo, 3}};
  for (auto [command, skin] : cases) {
    logic.OnCommand(command);
    EXPECT_EQ(settings.skin, skin);
    EXPECT_EQ(view.appliedSkin, skin);
  }
}

TEST_F(MainWindowLogicTest, StatusTextsAndTables) {
  settings.layout = 1;
  logic.RefreshStatusTexts();
  EXPECT_EQ(view.texts[ids::kMenuStyleText], "菜单样式 - 8 缩略图");
  EXPECT_EQ(view.texts[ids::kMovieSizeText], "影片文件大小 - 0 MB");
  EXPECT_EQ(view.texts[ids::kTempFolderText], "临时目录: /home/me/vantrel_dvd");
  ASSERT_EQ(LargeButtons().size(), 8u);
  EXPECT_STREQ(LargeButtons()[4].tooltip, "从“VIDEO_TS”目录刻录视频 DVD");
  ASSERT_EQ(PopupMenuItems(ids::kHelpMenu).size(), 5u);
  EXPECT_EQ(PopupMenuItems(ids::kHelpMenu)[3].id, 0);  // the separator
  EXPECT_TRUE(PopupMenuItems(1).empty());
  EXPECT_STREQ(ListColumns()[4].header, "  视频长度 ");
}

}  // namespace
}  // namespace vantrel::app
