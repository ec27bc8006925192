// SPDX-License-Identifier: GPL-3.0-or-later
// The walk of a built disc as a remote control would: a disc whose script sends buttons or
// titles elsewhere than the design fails the run, naming the button and where it went.
#include "authoring/navigation_proof.h"

#include <gtest/gtest.h>

#include "authoring/authoring_driver.h"
#include "authoring/command_templates.h"
#include "authoring/default_steps.h"
#include "authoring/dvd_script_writer.h"
#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/pictures.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

// Lit pixels of a button image inside a rectangle.
int LitPixels(const std::string& png, int left, int top, int right, int bottom) {
  test::PngFacts facts;
  if (!test::ReadPalettePng(png, facts)) return -1;
  int lit = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      lit += facts.palette[facts.indices[std::size_t(y) * facts.width + x]] != 0;
  return lit;
}


class NavigationProofTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PrepareAppFolder(temp_ / "app");
    settings_.temppath = temp_ / "work";
    settings_.resolution = 0;
    settings_.layout = 0;  // six buttons a page
  }

  // Authors `xml` into a folder of its own with dvdauthor and proves it against the design.
  NavigationProof Prove(const std::string& name, const std::string& xml) {
    const std::string script = temp_ / (name + ".xml"), out = temp_ / name;
    EXPECT_TRUE(WriteFileAtomically(script, xml));
    std::string log;
    EXPECT_EQ(test::RunCapture("VIDEO_FORMAT=PAL dvdauthor -o " + ShellQuote(out) + " -x " + ShellQuote(script) + " 2>&1", log), 0) << log;
    const test::DvdFacts dvd = test::ReadDvd(out);
    EXPECT_EQ(dvd.titles.size(), 7u);
    EXPECT_EQ(dvd.menus.size(), 2u);
    return ProveNavigation(out, DesignedNavigation(model_, true));
  }

  test::TempFolder temp_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", temp_ / "app"};
  AppSettings settings_{temp_ / "Settings.ini"};
  TitleList titles_;
  MenuModel model_{temp_ / "app/layout.ini"};
};

TEST_F(NavigationProofTest, ButtonsOrTitleEndsThatLeadElsewhereAreCaught) {
  const std::string clip = temp_ / "clip.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 1, false));
  for (int i = 0; i < 7; ++i) test::AddTitleFile(titles_, clip);

  // A run whose script swaps the first two buttons of page 1 builds its disc, and the walk
  // of that disc fails the run.
  AuthoringSteps steps = DefaultAuthoringSteps(test::Installed(), test::Installed());
  auto render = steps.renderMenus;
  steps.renderMenus = [render](MenuModel& model, const TitleList& titles, const AppSettings& settings,
                               const RunFolders& folders) {
    render(model, titles, settings, folders);
    model.Title(0).Command = "jump title 2;";
    model.Title(1).Command = "jump title 1;";
  };
  test::RecordingStatus status;
  AuthoringDriver driver(settings_, model_, titles_, std::move(steps), test::Installed(), test::Installed());
  EXPECT_FALSE(driver.StartRun());
  EXPECT_EQ(driver.FailureReason(), "菜单检查失败: 菜单第 1 页的按钮 1 (1. clip) 通向标题 2，设计为标题 1");
  EXPECT_TRUE(status.Logged(driver.FailureReason()));
  EXPECT_FALSE(status.Logged("转换完成"));
  const test::DvdFacts built = test::ReadDvd(driver.Folders().output);
  ASSERT_EQ(built.titles.size(), 7u);  // the tool did build it: only the walk saw the fault
  ASSERT_EQ(built.menus.size(), 2u);

  // The same menu streams authored by hand: right, and wrong in each way a script can be.
  const std::string temp = driver.Folders().intermediate;
  auto disc = [&](auto change) {
    std::vector<DvdMenuChain> menus{{temp + "menu01.mpg", {}}, {temp + "menu02.mpg", {}}};
    for (int t = 1; t <= 6; ++t) menus[0].buttons.emplace_back(Format("%d", t - 1), Format("jump title %d;", t));
    menus[0].buttons.emplace_back("n", "jump vmgm menu 2;");
    menus[1].buttons = {{"0", "jump title 7;"}, {"p", "jump vmgm menu 1;"}};
    std::vector<DvdTitleChain> titles;
    for (int t = 1; t <= 7; ++t) titles.push_back({clip, t < 7 ? Format("jump title %d;", t + 1) : "call vmgm menu 1;"});
    change(menus, titles);
    return DvdScriptWriter::ComposeWithMenus(menus, titles);
  };
  const NavigationProof right = Prove("right", disc([](auto&, auto&) {}));
  EXPECT_TRUE(right.passed) << right.failure;
  EXPECT_EQ(right.buttons, 9);
  EXPECT_EQ(NavigationProofText(right.buttons), "菜单检查: 9 个按钮正确");

  const struct {
    const char* name;
    std::function<void(std::vector<DvdMenuChain>&, std::vector<DvdTitleChain>&)> change;
    const char* failure;
  } faults[] = {
      {"next", [](auto& m, auto&) { m[0].buttons[6].second = "jump vmgm menu 1;"; },
       "菜单检查失败: 菜单第 1 页的按钮 7 (下一页) 通向菜单第 1 页，设计为菜单第 2 页"},
      {"back", [](auto& m, auto&) { m[1].buttons[1].second = "jump title 1;"; },
       "菜单检查失败: 菜单第 2 页的按钮 2 (上一页) 通向标题 1，设计为菜单第 1 页"},
      {"end", [](auto&, auto& t) { t[2].post = "jump title 5;"; },
       "菜单检查失败: 标题 3 结束后到了标题 5，设计为标题 4"},
      {"last", [](auto&, auto& t) { t[6].post = "call vmgm menu 2;"; },
       "菜单检查失败: 标题 7 结束后到了菜单第 2 页，设计为菜单第 1 页"},
  };
  for (const auto& fault : faults) {
    const NavigationProof proof = Prove(fault.name, disc(fault.change));
    EXPECT_FALSE(proof.passed) << fault.name;
    EXPECT_EQ(proof.failure, fault.failure);
  }
}

TEST_F(NavigationProofTest, WhereTheDiscStartsAndWhetherItCanBeRead) {
  // The shared fixture plays a clip without buttons, then its one title, which ends the
  // disc (it has no command after it).
  NavigationDesign design;
  design.start = NavigationTarget::Title(1);
  design.titleEnds = {NavigationTarget{}};
  const NavigationProof proof = ProveNavigation(test::VideoTsFixture(), design);
  EXPECT_TRUE(proof.passed) << proof.failure;
  EXPECT_EQ(proof.buttons, 0);
  design.start = NavigationTarget::Page(1);
  EXPECT_EQ(ProveNavigation(test::VideoTsFixture(), design).failure,
            "菜单检查失败: 光盘放入后到了标题 1，设计为菜单第 1 页");
  EXPECT_EQ(ProveNavigation(temp_ / "nothing", design).failure.rfind("菜单检查失败: 无法打开光盘", 0), 0u);
}

TEST_F(NavigationProofTest, PlayAllRunsEveryTitleAndEachTitleAloneReturnsToItsPage) {
  const std::string clip = temp_ / "clip.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 1, false));
  for (int i = 0; i < 7; ++i) test::AddTitleFile(titles_, clip);
  model_.Choices().playAll = true;
  test::RecordingStatus status;
  AuthoringDriver driver(settings_, model_, titles_, DefaultAuthoringSteps(test::Installed(), test::Installed()), test::Installed(), test::Installed());
  ASSERT_TRUE(driver.StartRun()) << driver.FailureReason();
  // Six titles, 全部播放 and 下一页 on page 1; one title and 上一页 on page 2; the walk
  // followed the play-all run through all seven titles back to page 1.
  EXPECT_TRUE(status.Logged("菜单检查: 10 个按钮正确"));
  const test::DvdFacts dvd = test::ReadDvd(driver.Folders().output);
  ASSERT_EQ(dvd.titles.size(), 7u);
  ASSERT_EQ(dvd.menus.size(), 2u);
  EXPECT_EQ(dvd.menus[0].buttons, 8);
  EXPECT_EQ(dvd.menus[1].buttons, 2);
  // The label is drawn in the button images where the button is.
  const std::string temp = driver.Folders().intermediate;
  EXPECT_GT(LitPixels(temp + "button_highlighted01.png", 80, 480, 220, 536), 100);
  EXPECT_EQ(LitPixels(temp + "button_highlighted01.png", 0, 540, 720, 576), 0);
}

}  // namespace
}  // namespace vantrel
