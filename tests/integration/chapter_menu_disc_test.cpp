// SPDX-License-Identifier: GPL-3.0-or-later
// A disc with chapter pages, read back: lsdvd's titles and chapters, libdvdread's menus,
// each chapter button's picture as ffmpeg decodes the disc's menus, and the walk of every
// button; a disc whose chapter buttons are swapped is caught by the walk.
#include <gtest/gtest.h>

#include <cstdlib>

#include "authoring/authoring_driver.h"
#include "authoring/command_templates.h"
#include "authoring/default_steps.h"
#include "base/atomic_file.h"
#include "base/paths.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "support/disc_readback.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

struct Colour {
  const char* name;
  int r, g, b;
};
constexpr Colour kRed{"red", 255, 0, 0}, kLime{"lime", 0, 255, 0}, kBlue{"blue", 0, 0, 255},
    kWhite{"white", 255, 255, 255}, kYellow{"yellow", 255, 255, 0};

// A DVD-ready PAL clip that shows each colour for `each` seconds, a picture group a second.
bool MakeColourClip(const std::string& path, const std::vector<Colour>& colours, int each) {
  std::string inputs, joined;
  for (std::size_t i = 0; i < colours.size(); ++i) {
    inputs += std::string(" -f lavfi -i color=c=") + colours[i].name + ":size=720x576:rate=25:duration=" + std::to_string(each);
    joined += "[" + std::to_string(i) + ":v]";
  }
  const std::string seconds = std::to_string(each * int(colours.size()));
  return test::Ffmpeg(inputs + " -f lavfi -i sine=frequency=440:sample_rate=48000:duration=" + seconds +
                      " -filter_complex '" + joined + "concat=n=" + std::to_string(colours.size()) +
                      ":v=1[v]' -map '[v]' -map " + std::to_string(colours.size()) +
                      ":a -target pal-dvd -aspect 4:3 -g 25 " + ShellQuote(path));
}

// Picture `index` of the disc's menus (a still page is one picture), decoded by ffmpeg.
std::string MenuPicture(const std::string& dvd, int index, const std::string& scratch) {
  std::string rgb;
  EXPECT_TRUE(test::Ffmpeg("-i " + ShellQuote(dvd + "/VIDEO_TS/VIDEO_TS.VOB") + " -vf 'select=eq(n\\," +
                           std::to_string(index) + ")' -frames:v 1 -f rawvideo -pix_fmt rgb24 " + ShellQuote(scratch)));
  EXPECT_TRUE(ReadWholeFile(scratch, rgb));
  if (rgb.size() != std::size_t(720 * 576 * 3)) rgb.assign(std::size_t(720 * 576 * 3), '\0');
  return rgb;
}

// True when the middle of the rectangle shows the colour (within the encoder's loss).
bool Shows(const std::string& rgb, const Rect& r, const Colour& colour) {
  int far = 0;
  for (int y = r.top + r.height / 4; y < r.top + 3 * r.height / 4; ++y)
    for (int x = r.left + r.width / 4; x < r.left + 3 * r.width / 4; ++x) {
      const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (std::size_t(y) * 720 + std::size_t(x)) * 3;
      far += std::abs(p[0] - colour.r) > 48 || std::abs(p[1] - colour.g) > 48 || std::abs(p[2] - colour.b) > 48;
    }
  return far == 0;
}

class ChapterMenuDiscTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PrepareAppFolder(temp_ / "app");
    settings_.temppath = temp_ / "work";
    settings_.resolution = 0;
    settings_.layout = 0;  // six buttons a page
    ASSERT_TRUE(MakeColourClip(temp_ / "three.mpg", {kRed, kLime, kBlue}, 3));
    ASSERT_TRUE(MakeColourClip(temp_ / "four.mpg", {kWhite, kRed, kYellow, kBlue}, 2));
    test::AddTitleFile(titles_, temp_ / "three.mpg");
    test::AddTitleFile(titles_, temp_ / "four.mpg");
    titles_.At(0).ChapterMarks = {ChapterMode::kTimes, 0, {3, 6}};
    titles_.At(1).ChapterMarks = {ChapterMode::kTimes, 0, {2, 4, 6}};
    // A sound track of its own puts the second title into a title set of its own: its
    // chapters are reached across title sets.
    titles_.At(1).SoundTracks = {SoundTrack{"", -1, "en", 0}};
    model_.Choices().chapterMenus = true;
  }

  test::TempFolder temp_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", temp_ / "app"};
  AppSettings settings_{temp_ / "Settings.ini"};
  TitleList titles_;
  MenuModel model_{temp_ / "app/layout.ini"};
};

TEST_F(ChapterMenuDiscTest, EveryChapterButtonShowsItsChapterAndPlaysTheTitleFromThere) {
  test::RecordingStatus status;
  AuthoringDriver driver(settings_, model_, titles_, DefaultAuthoringSteps(status, status), status, status);
  ASSERT_TRUE(driver.StartRun()) << driver.FailureReason();
  // Page 1: two titles; page 2: three chapters and 返回; page 3: four chapters and 返回.
  EXPECT_TRUE(status.Logged("菜单检查: 11 个按钮正确"));
  const std::string dvd = driver.Folders().output;

  const std::vector<test::LsdvdTitle> titles = test::ReadWithLsdvd(dvd);
  ASSERT_EQ(titles.size(), 2u);
  EXPECT_EQ(titles[0].titleSet, 1);
  EXPECT_EQ(titles[1].titleSet, 2);
  const std::vector<std::vector<double>> starts{{0, 3, 6}, {0, 2, 4, 6}};
  for (std::size_t t = 0; t < 2; ++t) {
    ASSERT_EQ(titles[t].chapterStarts.size(), starts[t].size()) << "title " << t + 1;
    for (std::size_t c = 0; c < starts[t].size(); ++c)
      EXPECT_NEAR(titles[t].chapterStarts[c], starts[t][c], 0.3) << "title " << t + 1 << " chapter " << c + 1;
  }
  const test::DvdFacts facts = test::ReadDvd(dvd);
  ASSERT_EQ(facts.menus.size(), 3u);
  EXPECT_EQ(facts.menus[0].buttons, 2);
  EXPECT_EQ(facts.menus[1].buttons, 4);
  EXPECT_EQ(facts.menus[2].buttons, 5);

  // Each chapter's button shows the picture at its start, not the title's thumbnail.
  const std::vector<std::vector<Colour>> shown{{kRed, kLime, kBlue}, {kWhite, kRed, kYellow, kBlue}};
  for (int page = 2; page <= 3; ++page) {
    const std::string picture = MenuPicture(dvd, page - 1, temp_ / "page.rgb");
    const MenuPage& chapters = model_.Page(page - 1);
    ASSERT_EQ(chapters.Titles.size(), shown[std::size_t(page - 2)].size());
    for (const MenuEntry* entry : chapters.Titles)
      EXPECT_TRUE(Shows(picture, entry->ThumbnailRect, shown[std::size_t(page - 2)][std::size_t(entry->Chapter - 1)]))
          << "page " << page << " chapter " << entry->Chapter;
  }
}

TEST_F(ChapterMenuDiscTest, SwappedChapterButtonsFailTheRun) {
  AuthoringSteps steps = DefaultAuthoringSteps(test::Installed(), test::Installed());
  auto render = steps.renderMenus;
  steps.renderMenus = [render](MenuModel& model, const TitleList& titles, const AppSettings& settings,
                               const RunFolders& folders) {
    render(model, titles, settings, folders);
    // The second title's first two chapters, on page 3, change places in the script.
    model.Page(2).Titles[0]->Command = "jump title 2 chapter 2;";
    model.Page(2).Titles[1]->Command = "jump title 2 chapter 1;";
  };
  test::RecordingStatus status;
  AuthoringDriver driver(settings_, model_, titles_, std::move(steps), test::Installed(), test::Installed());
  EXPECT_FALSE(driver.StartRun());
  EXPECT_EQ(driver.FailureReason(), "菜单检查失败: 菜单第 3 页的按钮 1 (1. 00:00:00) 通向标题 2 章节 2，设计为标题 2");
  EXPECT_FALSE(status.Logged("转换完成"));
  // The tool did build it: only the walk saw the fault.
  EXPECT_EQ(test::ReadDvd(driver.Folders().output).menus.size(), 3u);
}

}  // namespace
}  // namespace vantrel
