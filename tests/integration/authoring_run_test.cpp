// SPDX-License-Identifier: GPL-3.0-or-later
// The authoring run with the real tools, read back with libdvdread.
#include "authoring/authoring_driver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "authoring/command_templates.h"
#include "authoring/default_steps.h"
#include "authoring/image_builder_fallback.h"
#include "authoring/shell_command.h"
#include "base/ini_file.h"
#include "base/paths.h"
#include "base/xml_text.h"
#include "menu/menu_model.h"
#include "platform/foximager/image_builder_ini.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "support/dvd_reader.h"
#include "support/media_check.h"
#include "support/media_maker.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

class AuthoringRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PrepareAppFolder(temp_ / "app");
    settings_.temppath = temp_ / "work 'q' & $w 中文";
    settings_.createmenu = false;
    settings_.resolution = 0;
  }
  void AddTitle(const std::string& path) { test::AddTitleFile(titles_, path); }
  bool Run(AuthoringSteps steps = {}) {
    AuthoringDriver driver(settings_, model_, titles_, std::move(steps), test::Installed(), test::Installed());
    folders_ = RunFolders::For(settings_.temppath, temp_ / "app");
    return driver.StartRun();
  }

  test::TempFolder temp_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", temp_ / "app"};
  AppSettings settings_{temp_ / "Settings.ini"};
  TitleList titles_;
  MenuModel model_{temp_ / "app/layout.ini"};
  RunFolders folders_;
};

TEST_F(AuthoringRunTest, CompliantTitlesWithoutMenuBecomeADisc) {
  const std::string a = temp_ / "R&B \"live\" $x.mpg", b = temp_ / "海边 'b'.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 2, false));
  ASSERT_TRUE(test::MakeDvdClip(b, 3, false, "smptebars"));
  const auto sizeBefore = FileSize(a);
  AddTitle(a);
  AddTitle(b);
  test::RecordingStatus status;
  ASSERT_TRUE(Run()) << test::ReadText(folders_.intermediate + "tools.log");

  test::DvdFacts dvd = test::ReadDvd(folders_.output);
  ASSERT_TRUE(dvd.opened);
  ASSERT_EQ(dvd.titles.size(), 2u);
  EXPECT_NEAR(dvd.titles[0].seconds, 2.0, 0.2);
  EXPECT_NEAR(dvd.titles[1].seconds, 3.0, 0.2);
  EXPECT_EQ(dvd.titles[0].chapters, 1);  // chapters at 15:00 and later lie past the end
  EXPECT_EQ(dvd.menus.size(), 1u);       // the black clip's chain
  EXPECT_TRUE(status.Logged("修复 MPEG 文件..."));
  EXPECT_TRUE(status.Logged("创建 DVD 结构..."));
  EXPECT_TRUE(status.messages.empty());
  // Nothing was repaired: dvd.xml names the user's files, which are untouched.
  std::string xml = test::ReadText(folders_.intermediate + "dvd.xml");
  EXPECT_NE(xml.find("R&amp;B &quot;live&quot; $x.mpg"), std::string::npos);
  EXPECT_NE(xml.find("pause=\"0\""), std::string::npos);
  EXPECT_EQ(FileSize(a), sizeBefore);
  // The tool set is gone again, the tool log stays with the run's files.
  EXPECT_FALSE(FileExists(folders_.tool + "/ddas"));
  EXPECT_TRUE(FileExists(folders_.intermediate + "tools.log"));
  EXPECT_EQ(std::getenv("VIDEO_FORMAT"), nullptr);
}

TEST_F(AuthoringRunTest, MenuDiscsWithOneAndWithThreePages) {
  const std::string a = temp_ / "a b.mpg", b = temp_ / "第二.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 2, false));
  ASSERT_TRUE(test::MakeDvdClip(b, 2, false, "smptebars"));
  AddTitle(a);
  AddTitle(b);
  settings_.createmenu = true;
  test::RecordingStatus status;
  ASSERT_TRUE(Run(DefaultAuthoringSteps(test::Installed(), test::Installed()))) << test::ReadText(folders_.intermediate + "tools.log");
  test::DvdFacts dvd = test::ReadDvd(folders_.output);
  ASSERT_EQ(dvd.titles.size(), 2u);
  ASSERT_EQ(dvd.menus.size(), 1u);
  EXPECT_EQ(dvd.menus[0].buttons, 2);
  EXPECT_TRUE(status.Logged("生成菜单..."));
  EXPECT_TRUE(status.questions.empty());
  // The run's dvd.xml is the two-title example line for line, with this run's paths.
  EXPECT_EQ(test::ReadText(folders_.intermediate + "dvd.xml"),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<dvdauthor>\n<vmgm>\n<menus><pgc>\n"
            "<vob file=\"" + XmlEscape(folders_.intermediate) + "menu01.mpg\" pause=\"inf\"/>\n"
            "<button name=\"0\">\njump title 1;</button>\n<button name=\"1\">\njump title 2;</button>\n"
            "</pgc>\n</menus>\n</vmgm>\n<titleset>\n<menus>\n<pgc>\n<post>jump vmgm menu 1;</post>\n"
            "</pgc>\n</menus>\n<titles>\n<pgc>\n<vob file=\"" + a +
            "\" chapters=\"0,15:00,30:00,45:00,1:00:00\"/>\n<post>jump title 2;</post>\n</pgc><pgc>\n"
            "<vob file=\"" + b + "\" chapters=\"0,15:00,30:00,45:00,1:00:00\"/>\n"
            "<post>call vmgm menu 1;</post>\n</pgc></titles>\n</titleset>\n</dvdauthor>");

  // 13 NTSC titles in the 6-button style: three pages, navigation buttons on each.
  const std::string n = temp_ / "n.mpg";
  ASSERT_TRUE(test::MakeDvdClip(n, 1, true));
  titles_ = TitleList();
  for (int i = 0; i < 13; ++i) AddTitle(n);
  settings_.resolution = 1;
  settings_.layout = 0;
  ASSERT_TRUE(Run(DefaultAuthoringSteps(test::Installed(), test::Installed()))) << test::ReadText(folders_.intermediate + "tools.log");
  dvd = test::ReadDvd(folders_.output);
  ASSERT_EQ(dvd.titles.size(), 13u);
  ASSERT_EQ(dvd.menus.size(), 3u);
  EXPECT_EQ(dvd.menus[0].buttons, 7);  // six titles and "n"
  EXPECT_EQ(dvd.menus[1].buttons, 8);  // six titles, "p" and "n"
  EXPECT_EQ(dvd.menus[2].buttons, 2);  // one title and "p"
}

TEST_F(AuthoringRunTest, TitlesThatNeedRepairGoThroughTheConverter) {
  const std::string avi = temp_ / "clip.AVI", wmv = temp_ / "clip.wmv";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 1 " + ShellQuote(avi)));
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 1 " + ShellQuote(wmv)));
  AddTitle(avi);
  AddTitle(wmv);
  test::RecordingStatus status;
  ASSERT_TRUE(Run(DefaultAuthoringSteps(test::Installed(), test::Installed()))) << test::ReadText(folders_.intermediate + "tools.log");
  // The AVI's repair is an MPEG file; the WMV's keeps its name although it holds MPEG too.
  EXPECT_TRUE(FileExists(settings_.temppath + "/(TaliroFixedDVD)clip.mpg"));
  EXPECT_TRUE(FileExists(settings_.temppath + "/(TaliroFixedDVD)clip.wmv"));
  EXPECT_TRUE(status.Logged("fixing clip.AVI 到 DVD 兼容的 VOB"));
  EXPECT_EQ(test::ReadDvd(folders_.output).titles.size(), 2u);
  std::string xml = test::ReadText(folders_.intermediate + "dvd.xml");
  EXPECT_NE(xml.find("(TaliroFixedDVD)clip.mpg"), std::string::npos);
  EXPECT_EQ(xml.find(avi), std::string::npos);
}

TEST_F(AuthoringRunTest, ACorruptTitleFailsClearlyAndTouchesNothing) {
  const std::string bad = temp_ / "broken.mpg";
  test::WriteText(bad, std::string(50000, '\x47'));
  AddTitle(bad);
  // A good repair of the same name left by an earlier run must not stand in for this one.
  MakeFolder(settings_.temppath);
  ASSERT_TRUE(test::MakeDvdClip(settings_.temppath + "/(TaliroFixedDVD)broken.mpg", 1, false));
  test::RecordingStatus status;
  // Checked before anything is encoded or deleted: the run stops at once with the reason.
  EXPECT_FALSE(Run(DefaultAuthoringSteps(test::Installed(), test::Installed())));
  EXPECT_TRUE(status.messages.empty());
  EXPECT_TRUE(status.Logged("无法使用标题 " + bad + ": 不是可以读取的视频文件")) << status.lines.back().text;
  EXPECT_TRUE(FileExists(settings_.temppath + "/(TaliroFixedDVD)broken.mpg"));

  // A title that passes the check but whose repair fails.
  AuthoringSteps unchecked = DefaultAuthoringSteps(test::Installed(), test::Installed());
  unchecked.checkTitle = nullptr;
  EXPECT_FALSE(Run(unchecked));
  ASSERT_EQ(status.messages.size(), 1u);  // the encoder's own reason went to the log
  // The file under the repair's name was made by no run (it has no record): it is left
  // alone and the repair takes the next name.
  EXPECT_EQ(status.messages[0], "无法修复(转换) " + settings_.temppath + "/(TaliroFixedDVD)broken (2).mpg");
  EXPECT_TRUE(status.Logged("无法修复视频文件，创建 DVD 失败。"));
  EXPECT_EQ(test::ReadText(bad), std::string(50000, '\x47'));
  EXPECT_TRUE(FileExists(settings_.temppath + "/(TaliroFixedDVD)broken.mpg"));
  EXPECT_FALSE(FileExists(settings_.temppath + "/(TaliroFixedDVD)broken (2).mpg"));
}

TEST_F(AuthoringRunTest, TheStepsAreGivenTheStandardOfTheSettings) {
  const std::string a = temp_ / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 1, true));
  AddTitle(a);
  settings_.convertbefore = true;
  for (int resolution : {1, 0}) {
    settings_.resolution = resolution;
    std::vector<TvStandard> seen;
    AuthoringSteps steps;
    steps.fitFacts = [&](const std::string&, TvStandard standard, const DiscTarget&, FitTitle&) {
      seen.push_back(standard);
      return false;
    };
    steps.convertToDvdMpeg = [&](const std::string&, std::string&, TvStandard standard, const DiscTarget&, RunStatus&,
                                 int) {
      seen.push_back(standard);
      return false;  // writes nothing: the run stops after the repair
    };
    EXPECT_FALSE(Run(steps));
    const TvStandard expected = resolution == 1 ? TvStandard::Ntsc : TvStandard::Pal;
    EXPECT_EQ(seen, std::vector<TvStandard>(2, expected)) << "resolution " << resolution;
  }
}

TEST_F(AuthoringRunTest, AMissingAuthoringToolHandsOverToTheFallback) {
  const std::string a = temp_ / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 1, false));
  AddTitle(a);
  int fallbackRuns = 0;
  AuthoringSteps steps;
  steps.fallback = [&](MenuModel&, AppSettings&, const RunFolders& folders) {
    ++fallbackRuns;
    EXPECT_FALSE(FolderExists(folders.output + "/VIDEO_TS"));
    return false;
  };
  test::RecordingStatus status;
  {
    MakeFolder(temp_ / "empty-bin");
    test::ScopedEnv path("PATH", temp_ / "empty-bin");
    EXPECT_FALSE(Run(steps));
  }
  EXPECT_EQ(fallbackRuns, 1);
  EXPECT_NE(test::ReadText(folders_.intermediate + "tools.log").find("dvdauthor is not installed"),
            std::string::npos);
}

TEST_F(AuthoringRunTest, WhenTheAuthoringToolFailsTheImageBuilderMakesTheDisc) {
  // The head of a DVD clip: its navigation packs pass the test, but the authoring tool
  // cannot make a title of it. The image builder encodes what can be decoded.
  const std::string whole = temp_ / "whole.mpg", cut = temp_ / "cut 'short'.mpg";
  ASSERT_TRUE(test::MakeDvdClip(whole, 2, false));
  test::WriteText(cut, test::ReadText(whole).substr(0, 20000));
  AddTitle(cut);
  settings_.createmenu = true;
  test::RecordingStatus status;
  ASSERT_TRUE(Run(DefaultAuthoringSteps(test::Installed(), test::Installed())));
  EXPECT_TRUE(status.messages.empty());
  EXPECT_FALSE(FolderExists(folders_.intermediate));  // the builder's run removes it
  EXPECT_TRUE(FileExists(settings_.temppath + "/FoxImage/dvd.xml"));
  test::DvdFacts dvd = test::ReadDvd(folders_.output);
  ASSERT_EQ(dvd.titles.size(), 1u);
  ASSERT_EQ(dvd.menus.size(), 1u);
  EXPECT_EQ(dvd.menus[0].buttons, 1);
  // The builder's INI is the process's own and stays, with this run's one title.
  const std::string ini = temp_ / "app/tmpFoxImage-" + std::to_string(getpid()) + ".ini";
  EXPECT_EQ(ImageBuilderIniPath(), ini);
  ASSERT_TRUE(FileExists(ini));
  IniFile kept(ini);
  EXPECT_EQ(kept.ReadInt(kImageBuilderInfoSection, kImageBuilderCountKey, -1), 1);
  EXPECT_FALSE(kept.ReadString("0", "file", "").empty());
}

TEST_F(AuthoringRunTest, TheImageBuilderRefusesTitlesThatAreGone) {
  AddTitle(temp_ / "vanished.mpg");
  test::RecordingStatus status;
  AuthoringSteps steps = DefaultAuthoringSteps(test::Installed(), test::Installed());
  steps.checkTitle = nullptr;  // the check before the run would stop it first
  EXPECT_FALSE(Run(steps));
  ASSERT_EQ(status.messages.size(), 2u);
  EXPECT_EQ(status.messages[0].rfind("无法打开文件 " + temp_ / "vanished.mpg", 0), 0u);
  EXPECT_EQ(status.messages[1], "载入输入 INI 文件失败。");
  EXPECT_FALSE(FolderExists(folders_.intermediate));
  // The builder's own reason reaches the event log, not only the message.
  bool reasonLogged = false;
  for (const auto& line : status.lines)
    reasonLogged = reasonLogged || (line.kind == kStatusRed && line.text.find("vanished.mpg") != std::string::npos);
  EXPECT_TRUE(reasonLogged);
}

TEST_F(AuthoringRunTest, AnNtscRunThatFallsBackGetsAnNtscDisc) {
  // The builder learns the run's standard from the run, not from the process.
  const std::string whole = temp_ / "whole.mpg", cut = temp_ / "cut.mpg";
  ASSERT_TRUE(test::MakeDvdClip(whole, 2, true));
  test::WriteText(cut, test::ReadText(whole).substr(0, 20000));
  AddTitle(cut);
  settings_.resolution = 1;
  test::RecordingStatus status;
  ASSERT_TRUE(Run(DefaultAuthoringSteps(test::Installed(), test::Installed())));
  EXPECT_TRUE(FileExists(settings_.temppath + "/FoxImage/dvd.xml"));
  test::MediaFacts title = test::ReadBack(folders_.output + "/VIDEO_TS/VTS_01_1.VOB");
  EXPECT_EQ(title.height, 480);
  EXPECT_NEAR(title.frameRate, 29.97, 0.01);
}

TEST_F(AuthoringRunTest, AWorkFolderThatCannotBeCreated) {
  const std::string a = temp_ / "a.mpg";
  test::WriteText(a, "x");
  AddTitle(a);
  settings_.temppath = "/proc/vantrel work";
  test::RecordingStatus status;
  EXPECT_FALSE(Run());
  EXPECT_TRUE(status.Logged("无法创建文件夹 /proc/vantrel work: No such file or directory"));
}

TEST_F(AuthoringRunTest, ARunKilledHalfWayCanBeRunAgain) {
  const std::string a = temp_ / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 3, false));
  const std::string work = ShellQuote(temp_ / "cli work");
  const std::string author = "VANTREL_APPDIR=" + ShellQuote(temp_ / "app") + " " +
                             ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                             " author --no-menu --pal --work " + work + " " + ShellQuote(a);
  RunShell(author + " >/dev/null 2>&1 & sleep 0.3; kill -9 $! 2>/dev/null; wait");
  ShellResult again = RunShell(author + " > " + ShellQuote(temp_ / "out.txt") + " 2>&1");
  EXPECT_TRUE(again.Succeeded()) << test::ReadText(temp_ / "out.txt");
  EXPECT_NE(test::ReadText(temp_ / "out.txt").find("转换完成"), std::string::npos);
  EXPECT_EQ(test::ReadDvd(temp_ / "cli work/DVD").titles.size(), 1u);
}

}  // namespace
}  // namespace vantrel
