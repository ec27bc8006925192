// SPDX-License-Identifier: GPL-3.0-or-later
// The properties sheet's preview player on a real clip (red, green, blue, one second each).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/preview/preview_player.h"
#include "support/clips.h"
#include "support/temp_folder.h"

namespace vantrel::preview {
namespace {

// The dominant channel of the picture's centre: 0 red, 1 green, 2 blue.
int Dominant(const RgbImage& image) {
  const std::uint8_t* p = image.Row(image.height / 2) + (image.width / 2) * 3;
  return p[0] > p[1] && p[0] > p[2] ? 0 : (p[1] > p[2] ? 1 : 2);
}

class PreviewPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeColourClip(clip, "-c:v mpeg2video -c:a mp2 -f mpeg");
    player.onPlayStateChange = [this] { changes.push_back(player.GetPlayState()); };
  }
  test::TempFolder folder;
  std::string clip = folder / "colours.mpg";
  FramePlayer player;
  std::vector<int> changes;
};

TEST_F(PreviewPlayerTest, ShowsThePictureAtThePositionSet) {
  player.SetFileName(clip);
  ASSERT_TRUE(player.IsOpen());
  EXPECT_NEAR(player.Duration(), 3.0, 0.2);
  player.Pause();
  EXPECT_EQ(player.GetPlayState(), kPaused);
  player.SetCurrentPosition(0.5);
  EXPECT_EQ(Dominant(player.CurrentFrame()), 0);
  player.SetCurrentPosition(1.5);
  EXPECT_DOUBLE_EQ(player.CurrentPosition(), 1.5);
  EXPECT_EQ(Dominant(player.CurrentFrame()), 1);
  player.SetCurrentPosition(2.5);
  EXPECT_EQ(Dominant(player.CurrentFrame()), 2);
  EXPECT_EQ(player.CurrentFrame().width, 320);
  player.SetCurrentPosition(99);  // past the end: the end
  EXPECT_DOUBLE_EQ(player.CurrentPosition(), player.Duration());
}

TEST_F(PreviewPlayerTest, PlaysFromTheClockAndStopsAtTheEnd) {
  player.SetFileName(clip);
  player.Pause();
  player.SetCurrentPosition(player.Duration() - 0.3);
  player.Play();
  EXPECT_EQ(player.GetPlayState(), kPlaying);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  const double moving = player.CurrentPosition();
  EXPECT_GT(moving, player.Duration() - 0.3 + 0.1);
  EXPECT_TRUE(player.Tick());  // a new picture is due
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  player.Tick();
  EXPECT_EQ(player.GetPlayState(), kStopped);
  EXPECT_DOUBLE_EQ(player.CurrentPosition(), player.Duration());
  EXPECT_EQ(changes, (std::vector<int>{kPaused, kPlaying, kStopped}));
  player.Play();  // from the end it starts again at the beginning
  EXPECT_LT(player.CurrentPosition(), 0.1);
}

TEST_F(PreviewPlayerTest, AFileItCannotOpenLeavesThePreviewEmpty) {
  test::WriteText(folder / "not a video.mpg", "hello");
  player.SetFileName(folder / "not a video.mpg");
  EXPECT_FALSE(player.IsOpen());
  player.Play();
  player.Pause();
  EXPECT_EQ(player.GetPlayState(), kStopped);
  EXPECT_TRUE(player.CurrentFrame().Empty());
  EXPECT_DOUBLE_EQ(player.CurrentPosition(), 0);  // what OK then stores
  EXPECT_TRUE(changes.empty());
}

}  // namespace
}  // namespace vantrel::preview
