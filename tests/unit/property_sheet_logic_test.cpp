// SPDX-License-Identifier: GPL-3.0-or-later
// The properties sheet's "菜单" page against a player that records what it is asked.
#include <gtest/gtest.h>

#include "app/property_sheet_logic.h"

namespace vantrel::app {
namespace {

struct FakePlayer : preview::PreviewPlayer {
  std::vector<std::string> calls;
  double position = 0;
  int state = preview::kStopped;
  void SetFileName(const std::string& path) override { calls.push_back("file:" + path); }
  void Pause() override {
    calls.push_back("pause");
    state = preview::kPaused;
  }
  void Play() override { state = preview::kPlaying; }
  double CurrentPosition() override { return position; }
  void SetCurrentPosition(double seconds) override {
    calls.push_back("seek");
    position = seconds;
  }
  int GetPlayState() const override { return state; }
};

struct FakeTimer : PageTimer {
  bool running = false;
  int interval = 0;
  void StartTimer(int id, int ms) override {
    EXPECT_EQ(id, 2001);
    running = true;
    interval = ms;
  }
  void StopTimer(int) override { running = false; }
};

class PropertyPageTest : public ::testing::Test {
 protected:
  PropertyPageTest() {
    title.SourcePath = "/videos/holiday.mpg";
    title.DisplayTitle = "holiday";
    title.Duration = 3600;
    title.ThumbnailTime = 0.5;
  }
  TitleRecord title;
  FakePlayer player;
  FakeTimer timer;
  PropertyPage2Logic page{title, player, timer};
};

TEST_F(PropertyPageTest, InitLoadsPausesAndSetsTheSlider) {
  page.Init();
  EXPECT_EQ(player.calls, (std::vector<std::string>{"file:/videos/holiday.mpg", "pause", "seek"}));
  EXPECT_DOUBLE_EQ(player.position, 0.5);
  EXPECT_EQ(page.sliderMax, 360000);
  EXPECT_EQ(page.pageSize, 360);
  EXPECT_EQ(page.sliderPosition, 50);
  EXPECT_EQ(page.title, "holiday");
}

TEST_F(PropertyPageTest, SliderReleaseSeeksAndOkStoresThePlayersPosition) {
  page.Init();
  page.OnSliderReleased(1234);
  EXPECT_DOUBLE_EQ(player.position, 12.34);
  player.position = 12.3401;  // what the player reports is what counts
  page.OnOk("假期");
  EXPECT_EQ(title.DisplayTitle, "假期");
  EXPECT_DOUBLE_EQ(title.ThumbnailTime, 12.3401);
}

TEST_F(PropertyPageTest, OkWithoutShowingThePageChangesNothing) {
  page.OnOk("other");
  EXPECT_EQ(title.DisplayTitle, "holiday");
  EXPECT_DOUBLE_EQ(title.ThumbnailTime, 0.5);
}

TEST_F(PropertyPageTest, ThePositionTimerRunsOnlyWhilePlaying) {
  page.Init();
  player.Play();
  page.OnPlayStateChange();
  EXPECT_TRUE(timer.running);
  EXPECT_EQ(timer.interval, 100);
  player.position = 7.257;
  page.OnTimer();
  EXPECT_EQ(page.sliderPosition, 725);
  page.OnSliderReleased(100);  // a release while playing pauses and stops the timer
  EXPECT_EQ(player.state, preview::kPaused);
  EXPECT_FALSE(timer.running);
  player.Play();
  page.OnPlayStateChange();
  player.state = preview::kStopped;  // the end of the file
  page.OnPlayStateChange();
  EXPECT_FALSE(timer.running);
}

TEST(PropertyPage1, FactsOfTheTitle) {
  TitleRecord title;
  title.SourcePath = "/v/a.mpg";
  title.ResolutionText = "720x576";
  title.FrameRateText = "PAL(25.00fps)";
  title.Duration = 3725.9;
  const PropertyPage1 page = Page1Values(title);
  EXPECT_EQ(page.file, "/v/a.mpg");
  EXPECT_EQ(page.resolution, "720x576");
  EXPECT_EQ(page.frameRate, "PAL(25.00fps)");
  EXPECT_EQ(page.duration, "01:02:05");
}

}  // namespace
}  // namespace vantrel::app
