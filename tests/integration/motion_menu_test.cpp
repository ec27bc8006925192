// SPDX-License-Identifier: GPL-3.0-or-later
// Menus that move and sound, authored by a whole run and read back from the built disc by
// ffmpeg (pictures of the menu at two moments, its sound), libdvdread (the menu's length
// and buttons) and the run's own walk of the buttons.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "authoring/authoring_driver.h"
#include "authoring/command_templates.h"
#include "authoring/default_steps.h"
#include "base/atomic_file.h"
#include "base/paths.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

struct Frame {
  int width = 0, height = 0;
  std::string rgb;
  int At(int x, int y, int c) const { return static_cast<unsigned char>(rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3 + std::size_t(c)]); }
};

// The picture of the menu film at `seconds`, decoded by ffmpeg.
Frame MenuFrame(const std::string& vob, double seconds, int height, const std::string& scratch) {
  Frame frame{720, height, {}};
  EXPECT_TRUE(test::Ffmpeg("-ss " + std::to_string(seconds) + " -i " + ShellQuote(vob) +
                           " -frames:v 1 -f rawvideo -pix_fmt rgb24 " + ShellQuote(scratch)));
  EXPECT_TRUE(ReadWholeFile(scratch, frame.rgb));
  EXPECT_EQ(frame.rgb.size(), std::size_t(720 * height * 3));
  if (frame.rgb.size() != std::size_t(720 * height * 3)) frame.rgb.assign(std::size_t(720 * height * 3), '\0');
  return frame;
}

// Mean difference of the two pictures over a rectangle, per colour value.
double MeanDifference(const Frame& a, const Frame& b, const Rect& r) {
  double sum = 0;
  for (int y = r.top; y < r.top + r.height; ++y)
    for (int x = r.left; x < r.left + r.width; ++x)
      for (int c = 0; c < 3; ++c) sum += std::abs(a.At(x, y, c) - b.At(x, y, c));
  return sum / (3.0 * r.width * r.height);
}

// The largest mean difference of any 8 x 8 block that lies wholly outside every rectangle
// grown by a block, so the encoder's blocks at a button's edge do not count.
double LargestDifferenceOutside(const Frame& a, const Frame& b, const std::vector<Rect>& inside) {
  double largest = 0;
  for (int y = 0; y + 8 <= a.height; y += 8)
    for (int x = 0; x + 8 <= a.width; x += 8) {
      bool near = false;
      for (const Rect& r : inside)
        near = near || (x + 8 > r.left - 8 && x < r.left + r.width + 8 && y + 8 > r.top - 8 && y < r.top + r.height + 8);
      if (!near) largest = std::max(largest, MeanDifference(a, b, Rect{x, y, 8, 8}));
    }
  return largest;
}

struct SoundFacts {
  std::string codec;
  int rate = 0;
  double seconds = 0;
  double middleLevel = 0, endLevel = 0;  // mean loudness of 0.2 s in the middle and at the end
};

SoundFacts MenuSound(const std::string& vob, const std::string& scratch) {
  SoundFacts facts;
  std::string out;
  test::RunCapture("ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate -of csv=p=0 " +
                       ShellQuote(vob), out);
  const auto comma = out.find(',');
  if (comma != std::string::npos) {
    facts.codec = out.substr(0, comma);
    facts.rate = std::atoi(out.c_str() + comma + 1);
  }
  EXPECT_TRUE(test::Ffmpeg("-i " + ShellQuote(vob) + " -map 0:a:0 -ac 1 -ar 48000 -f s16le " + ShellQuote(scratch)));
  std::string pcm;
  ReadWholeFile(scratch, pcm);
  const std::size_t samples = pcm.size() / 2;
  facts.seconds = double(samples) / 48000;
  auto level = [&](std::size_t from) {
    double sum = 0;
    for (std::size_t i = from; i < from + 9600 && i < samples; ++i)
      sum += std::abs(int(reinterpret_cast<const std::int16_t*>(pcm.data())[i]));
    return sum / 9600;
  };
  if (samples > 9600) {
    facts.middleLevel = level(samples / 2);
    facts.endLevel = level(samples - 9600);
  }
  return facts;
}

class MotionMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PrepareAppFolder(temp_ / "app");
    settings_.temppath = temp_ / "work";
    settings_.resolution = 0;
    settings_.layout = 0;  // six buttons a page
  }

  test::TempFolder temp_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", temp_ / "app"};
  AppSettings settings_{temp_ / "Settings.ini"};
  TitleList titles_;
  MenuModel model_{temp_ / "app/layout.ini"};
};

TEST_F(MotionMenuTest, ButtonsPlayTheirTitlesWithMusicWhileTheRestOfThePageStaysStill) {
  for (int i = 0; i < 3; ++i) {
    const std::string clip = temp_ / ("clip" + std::to_string(i) + ".mpg");
    ASSERT_TRUE(test::MakeDvdClip(clip, 6, false));
    test::AddTitleFile(titles_, clip);
  }
  const std::string music = temp_ / "music.ogg";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i sine=frequency=440:duration=20 -c:a libvorbis " + ShellQuote(music)));
  MenuMotion& motion = model_.Choices().motion;
  motion.thumbnails = true;
  motion.seconds = 8;  // longer than the titles: their clips start again
  motion.music = music;

  test::RecordingStatus status;
  AuthoringDriver driver(settings_, model_, titles_, DefaultAuthoringSteps(status, status), status, status);
  ASSERT_TRUE(driver.StartRun()) << driver.FailureReason();
  EXPECT_TRUE(status.Logged("菜单检查: 3 个按钮正确"));

  const std::string vob = driver.Folders().output + "/VIDEO_TS/VIDEO_TS.VOB";
  const Frame early = MenuFrame(vob, 1.5, 576, temp_ / "a.rgb");
  const Frame later = MenuFrame(vob, 4.1, 576, temp_ / "b.rgb");
  std::vector<Rect> buttons;
  for (int i = 0; i < 3; ++i) {
    buttons.push_back(model_.Title(i).ThumbnailRect);
    EXPECT_GT(MeanDifference(early, later, buttons.back()), 8) << "button " << i + 1;
  }
  EXPECT_LT(LargestDifferenceOutside(early, later, buttons), 2.0);

  const SoundFacts sound = MenuSound(vob, temp_ / "sound.raw");
  EXPECT_EQ(sound.codec, "mp2");
  EXPECT_EQ(sound.rate, 48000);
  EXPECT_NEAR(sound.seconds, 8, 0.1);
  EXPECT_GT(sound.middleLevel, 1000);                   // the music, not silence
  EXPECT_LT(sound.endLevel, sound.middleLevel / 4);     // faded out at the end

  const test::DvdFacts dvd = test::ReadDvd(driver.Folders().output);
  ASSERT_EQ(dvd.menus.size(), 1u);
  EXPECT_NEAR(dvd.menus[0].seconds, 8, 0.2);
  EXPECT_EQ(dvd.menus[0].buttons, 3);
}

TEST_F(MotionMenuTest, ABackgroundVideoMovesUnderAnNtscPageThatHoldsItsLastPictureWithAc3Sound) {
  settings_.resolution = 1;
  settings_.audiocodec = 3;  // the disc's sound: AC-3
  const std::string clip = temp_ / "clip.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 2, true));
  for (int i = 0; i < 7; ++i) test::AddTitleFile(titles_, clip);  // two pages
  const std::string video = temp_ / "waves.mkv";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc2=size=320x240:rate=30:duration=1.5 -c:v mpeg4 " + ShellQuote(video)));
  MenuMotion& motion = model_.Choices().motion;
  motion.backgroundVideo = video;  // shorter than the film: it starts again
  motion.seconds = 3;
  motion.loop = false;

  test::RecordingStatus status;
  AuthoringDriver driver(settings_, model_, titles_, DefaultAuthoringSteps(status, status), status, status);
  ASSERT_TRUE(driver.StartRun()) << driver.FailureReason();
  EXPECT_TRUE(status.Logged("菜单检查: 9 个按钮正确"));
  std::string script;
  ReadWholeFile(driver.Folders().intermediate + "dvd.xml", script);
  EXPECT_NE(script.find("menu02.mpg\" pause=\"inf\"/>"), std::string::npos);
  EXPECT_EQ(script.find("jump cell 1;"), std::string::npos);

  const std::string vob = driver.Folders().output + "/VIDEO_TS/VIDEO_TS.VOB";
  const Frame early = MenuFrame(vob, 0.6, 480, temp_ / "a.rgb");
  const Frame later = MenuFrame(vob, 1.1, 480, temp_ / "b.rgb");
  EXPECT_GT(LargestDifferenceOutside(early, later, {}), 8);  // the background moves
  // The page is drawn over the video: the header's white rule (row 83 on NTSC) stays.
  for (const Frame* frame : {&early, &later}) {
    double white = 0;
    for (int x = 100; x < 600; ++x) white += frame->At(x, 83, 0) + frame->At(x, 83, 1) + frame->At(x, 83, 2);
    EXPECT_GT(white / (500 * 3), 200);
  }
  const SoundFacts sound = MenuSound(vob, temp_ / "sound.raw");
  EXPECT_EQ(sound.codec, "ac3");
  EXPECT_EQ(sound.rate, 48000);
  EXPECT_NEAR(sound.seconds, 6, 0.2);  // both pages' silence
  const test::DvdFacts dvd = test::ReadDvd(driver.Folders().output);
  ASSERT_EQ(dvd.menus.size(), 2u);
  EXPECT_NEAR(dvd.menus[1].seconds, 3, 0.2);
}

TEST_F(MotionMenuTest, MusicThatIsNoSoundStopsTheRunBeforeAnyWork) {
  const std::string clip = temp_ / "clip.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 1, false));
  test::AddTitleFile(titles_, clip);
  const std::string music = temp_ / "theme.mp3";
  ASSERT_TRUE(WriteFileAtomically(music, "not a sound at all"));
  model_.Choices().motion.music = music;
  test::RecordingStatus status;
  AuthoringDriver driver(settings_, model_, titles_, DefaultAuthoringSteps(status, status), status, status);
  EXPECT_FALSE(driver.StartRun());
  EXPECT_EQ(driver.FailureReason().rfind("无法使用菜单音乐 " + music + ": ", 0), 0u) << driver.FailureReason();
  EXPECT_FALSE(FileExists(driver.Folders().work + "/DVD/VIDEO_TS/VIDEO_TS.IFO"));
  std::string kept;
  ReadWholeFile(music, kept);
  EXPECT_EQ(kept, "not a sound at all");
}

}  // namespace
}  // namespace vantrel
