// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder's preset table, frame-rate choice, picture placement and the output naming
// of the conversion client.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "convert/bounded_queue.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "convert/encoder_preset.h"
#include "convert/encoder_settings.h"
#include "convert/picture_fit.h"

namespace vantrel {
namespace {

TEST(EncoderPreset, StandardFamiliesFollowTheirDiscStandards) {
  struct Case {
    FormatFamily family;
    TvStandard tv;
    int width, height;
    FrameRate rate;
    VideoCodec video;
    int sampleRate;
    const char* muxer;
  } cases[] = {
      {FormatFamily::Dvd, TvStandard::Pal, 720, 576, {25, 1}, VideoCodec::Mpeg2, 48000, "dvd"},
      {FormatFamily::Dvd, TvStandard::Ntsc, 720, 480, {30000, 1001}, VideoCodec::Mpeg2, 48000, "dvd"},
      {FormatFamily::Svcd, TvStandard::Pal, 480, 576, {25, 1}, VideoCodec::Mpeg2, 44100, "svcd"},
      {FormatFamily::Svcd, TvStandard::Ntsc, 480, 480, {30000, 1001}, VideoCodec::Mpeg2, 44100, "svcd"},
      {FormatFamily::Vcd, TvStandard::Pal, 352, 288, {25, 1}, VideoCodec::Mpeg1, 44100, "vcd"},
      {FormatFamily::Vcd, TvStandard::Ntsc, 352, 240, {30000, 1001}, VideoCodec::Mpeg1, 44100, "vcd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(FormatFamilyName(c.family)) + (c.tv == TvStandard::Pal ? " PAL" : " NTSC"));
    EncoderPreset p = ResolvePreset(PresetFor(c.family, c.tv), 640, 360, 12.5);
    EXPECT_EQ(p.width, c.width);
    EXPECT_EQ(p.height, c.height);
    EXPECT_EQ(p.frameRate, c.rate);
    EXPECT_EQ(p.video, c.video);
    EXPECT_EQ(p.audioSampleRate, c.sampleRate);
    EXPECT_EQ(p.muxer, c.muxer);
    EXPECT_GT(p.videoBitRate, 0);
  }
  EncoderPreset dvd = PresetFor(FormatFamily::Dvd, TvStandard::Pal);
  EXPECT_LE(dvd.maxVideoBitRate, 9800000);
  EXPECT_EQ(dvd.muxRate, 10080000);
  EXPECT_FALSE(PresetFor(FormatFamily::Vcd, TvStandard::Pal).variableBitRate);
}

TEST(EncoderPreset, PlainFamiliesKeepTheSourceSizeAndAnMpegRate) {
  EncoderPreset p = ResolvePreset(PresetFor(FormatFamily::Mpeg1, TvStandard::None), 641, 359, 29.97);
  EXPECT_EQ(p.width, 640);  // even, for 4:2:0
  EXPECT_EQ(p.height, 358);
  EXPECT_EQ(p.frameRate, (FrameRate{30000, 1001}));
  EXPECT_EQ(p.muxer, "mpeg");
  EXPECT_GT(p.videoBitRate, 0);

  p = ResolvePreset(PresetFor(FormatFamily::Mpeg2, TvStandard::Pal), 1280, 720, 29.97);
  EXPECT_EQ(p.width, 1280);
  EXPECT_EQ(p.frameRate, (FrameRate{25, 1}));  // the standard decides the rate
  EXPECT_EQ(p.video, VideoCodec::Mpeg2);
}

TEST(EncoderPreset, NoStandardIsDecidedFromTheSourceRate) {
  auto tvFor = [](double rate) { return ResolvePreset(PresetFor(FormatFamily::Dvd, TvStandard::None), 640, 480, rate); };
  EXPECT_EQ(tvFor(25).tv, TvStandard::Pal);
  EXPECT_EQ(tvFor(25).height, 576);
  EXPECT_EQ(tvFor(50).tv, TvStandard::Pal);
  EXPECT_EQ(tvFor(29.97).tv, TvStandard::Ntsc);
  EXPECT_EQ(tvFor(29.97).height, 480);
  EXPECT_EQ(tvFor(23.976).frameRate, (FrameRate{30000, 1001}));
  EXPECT_EQ(tvFor(0).tv, TvStandard::Pal);
}

TEST(EncoderPreset, SuggestedRatesAreRatesMpegCanCarry) {
  EncoderPreset plain = PresetFor(FormatFamily::Mpeg2, TvStandard::None);
  EXPECT_EQ(SuggestFrameRate(plain, 29.97), (FrameRate{30000, 1001}));
  EXPECT_EQ(SuggestFrameRate(plain, 30.0), (FrameRate{30, 1}));
  EXPECT_EQ(SuggestFrameRate(plain, 59.94), (FrameRate{60000, 1001}));
  EXPECT_EQ(SuggestFrameRate(plain, 12.0), (FrameRate{24000, 1001}));
  EXPECT_EQ(SuggestFrameRate(plain, 120.0), (FrameRate{60, 1}));
  EXPECT_EQ(SuggestFrameRate(plain, 0.0), (FrameRate{25, 1}));
  EXPECT_EQ(SuggestFrameRate(PresetFor(FormatFamily::Dvd, TvStandard::Ntsc), 25.0), (FrameRate{30000, 1001}));
}

TEST(EncoderSettings, EachSetterIsReadBackByItsGetter) {
  EncoderPreset p = PresetFor(FormatFamily::Dvd, TvStandard::Pal);
  const struct {
    int set, get;
    double value;
  } pairs[] = {{8, 7, 480}, {11, 12, 704}, {13, 14, 4000000}, {15, 16, 1}, {17, 18, 1}, {23, 24, 224000}, {25, 26, 80}};
  for (const auto& pair : pairs) {
    ASSERT_TRUE(SetEncoderSetting(p, pair.set, pair.value)) << pair.set;
    double got = 0;
    ASSERT_TRUE(GetEncoderSetting(p, pair.get, got)) << pair.get;
    EXPECT_EQ(got, pair.value) << pair.get;
  }
  double got = 0;
  ASSERT_TRUE(SetEncoderSetting(p, 9, 29.97));
  EXPECT_EQ(p.frameRate, (FrameRate{30000, 1001}));
  ASSERT_TRUE(GetEncoderSetting(p, 10, got));
  EXPECT_NEAR(got, 29.97, 0.001);
  // Variable bit rate: 2 variable, 0 constant; read back non-zero for variable.
  ASSERT_TRUE(SetEncoderSetting(p, 27, 0));
  EXPECT_FALSE(p.variableBitRate);
  ASSERT_TRUE(GetEncoderSetting(p, 28, got));
  EXPECT_EQ(got, 0);
  ASSERT_TRUE(SetEncoderSetting(p, 27, 2));
  ASSERT_TRUE(GetEncoderSetting(p, 28, got));
  EXPECT_NE(got, 0);
  // The two settings the main program applies after choosing DVD.
  ASSERT_TRUE(SetEncoderSetting(p, 44, 1));
  EXPECT_EQ(p.audio, AudioCodec::Mp2);
  ASSERT_TRUE(SetEncoderSetting(p, 44, 2));
  EXPECT_EQ(p.audio, AudioCodec::Ac3);
  ASSERT_TRUE(SetEncoderSetting(p, 42, 3));
  EXPECT_EQ(p.referenceDistance, 3);
  ASSERT_TRUE(SetEncoderSetting(p, 35, 44100));
  EXPECT_EQ(p.audioSampleRate, 44100);
}

TEST(EncoderSettings, ValuesTheEncoderCannotTakeAreRefused) {
  const EncoderPreset before = PresetFor(FormatFamily::Dvd, TvStandard::Ntsc);
  EncoderPreset p = before;
  const std::pair<int, double> refused[] = {{8, 0}, {11, -720}, {9, 0}, {13, 0}, {25, 101},
                                            {35, 22050}, {42, 0}, {44, 3}, {44, 0}};
  for (const auto& [slot, value] : refused) EXPECT_FALSE(SetEncoderSetting(p, slot, value)) << slot;
  double got = 0;
  for (int slot : {0, 3, 7, 19, 36, 43}) EXPECT_FALSE(SetEncoderSetting(p, slot, 1)) << slot;
  for (int slot : {0, 8, 9, 35, 42, 44}) EXPECT_FALSE(GetEncoderSetting(p, slot, got)) << slot;
  EXPECT_EQ(p.width, before.width);
  EXPECT_EQ(p.frameRate, before.frameRate);
  EXPECT_EQ(p.audio, before.audio);
  // A rate MPEG cannot carry, set by hand, is encoded at the nearest one it can.
  ASSERT_TRUE(SetEncoderSetting(p, 9, 12.5));
  EXPECT_EQ(ResolvePreset(p, 640, 480, 25).frameRate, (FrameRate{24000, 1001}));
}

TEST(PictureFit, WideSourcesAreLetterboxedNarrowOnesPillarboxed) {
  // 16:9 picture in a 4:3 frame: bars above and below.
  EXPECT_EQ(FitPicture(16.0 / 9, 720, 576, 4.0 / 3), (PictureRect{0, 72, 720, 432}));
  // 4:3 picture in a 16:9 frame: bars left and right.
  EXPECT_EQ(FitPicture(4.0 / 3, 720, 576, 16.0 / 9), (PictureRect{90, 0, 540, 576}));
  // 2.35:1 film in a 16:9 frame.
  PictureRect scope = FitPicture(2.35, 720, 480, 16.0 / 9);
  EXPECT_EQ(scope.width, 720);
  EXPECT_NEAR(scope.height, 480 * (16.0 / 9) / 2.35, 2);
  EXPECT_EQ(scope.y % 2, 0);
  EXPECT_EQ(scope.height % 2, 0);
  // Same shape: the whole frame.
  EXPECT_EQ(FitPicture(4.0 / 3, 720, 480, 4.0 / 3), (PictureRect{0, 0, 720, 480}));
  // A portrait phone video keeps its shape.
  PictureRect portrait = FitPicture(9.0 / 16, 720, 576, 4.0 / 3);
  EXPECT_NEAR(double(portrait.width) / 720 * (4.0 / 3) / (double(portrait.height) / 576), 9.0 / 16, 0.01);
}

TEST(PictureFit, BarsAreEqualAndEven) {
  // 5:4 square-pixel picture in a PAL 4:3 frame: 675 wide exactly; 676 keeps two bars of 22.
  EXPECT_EQ(FitPicture(1.25, 720, 576, 4.0 / 3), (PictureRect{22, 0, 676, 576}));
  for (double source : {1.25, 4.0 / 3, 1.5, 16.0 / 9, 1.85, 2.35, 0.5625})
    for (double frame : {4.0 / 3, 16.0 / 9})
      for (int height : {480, 576}) {
        PictureRect r = FitPicture(source, 720, height, frame);
        SCOPED_TRACE(std::to_string(source) + " in " + std::to_string(frame) + " x" + std::to_string(height));
        EXPECT_EQ(r.x % 2, 0);
        EXPECT_EQ(r.y % 2, 0);
        EXPECT_EQ(720 - r.width - r.x, r.x);  // the same bar on both sides
        EXPECT_EQ(height - r.height - r.y, r.y);
        EXPECT_TRUE(r.x == 0 || r.y == 0);
        // Never more than a pixel off the exact shape, in the smaller direction.
        double shown = double(r.width) / 720 * frame / (double(r.height) / height);
        EXPECT_NEAR(shown, source, source * 2.5 / std::min(r.width, r.height));
      }
}

TEST(PictureFit, DvdFramesAreFourThreeOrSixteenNine) {
  EncoderPreset dvd = PresetFor(FormatFamily::Dvd, TvStandard::Pal);
  EXPECT_DOUBLE_EQ(OutputDisplayAspect(dvd, 4.0 / 3), 4.0 / 3);
  EXPECT_DOUBLE_EQ(OutputDisplayAspect(dvd, 16.0 / 9), 16.0 / 9);
  EXPECT_DOUBLE_EQ(OutputDisplayAspect(dvd, 2.35), 16.0 / 9);
  EXPECT_DOUBLE_EQ(OutputDisplayAspect(dvd, 1.25), 4.0 / 3);
  EXPECT_DOUBLE_EQ(OutputDisplayAspect(PresetFor(FormatFamily::Vcd, TvStandard::Pal), 16.0 / 9), 4.0 / 3);
  EXPECT_DOUBLE_EQ(OutputDisplayAspect(PresetFor(FormatFamily::Mpeg1, TvStandard::None), 1.9), 1.9);
  // A disc's shape, imposed through setting 29, wins over the source's.
  ASSERT_TRUE(SetEncoderSetting(dvd, 29, 3));
  EXPECT_DOUBLE_EQ(OutputDisplayAspect(dvd, 4.0 / 3), 16.0 / 9);
  ASSERT_TRUE(SetEncoderSetting(dvd, 29, 2));
  EXPECT_DOUBLE_EQ(OutputDisplayAspect(dvd, 2.35), 4.0 / 3);
  EXPECT_FALSE(SetEncoderSetting(dvd, 29, 1));  // square pixels are no DVD shape
  double got = 0;
  ASSERT_TRUE(GetEncoderSetting(dvd, 30, got));
  EXPECT_EQ(got, 2);
}

TEST(ConvertToDvdMpeg, AviOutputsBecomeMpgOthersAreKept) {
  const std::pair<const char*, const char*> cases[] = {
      {"/w/(TaliroFixedDVD)clip.avi", "/w/(TaliroFixedDVD)clip.mpg"},
      {"/w/clip.AVI", "/w/clip.mpg"},
      {"/w/clip.Avi", "/w/clip.mpg"},
      {"/w/clip.mpeg", "/w/clip.mpeg"},
      {"/w/clip.wmv", "/w/clip.wmv"},
      {"/w/clip.avi.mpg", "/w/clip.avi.mpg"},
      {"/w/x.avi/clip", "/w/x.avi/clip"},  // the text after the last dot is "avi/clip"
      {"avi", "avi.mpg"},
      {"/w/clip", "/w/clip"},
      {"/w/视频 $1.avi", "/w/视频 $1.mpg"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(DvdMpegOutputName(in), out) << in;
}

TEST(BoundedQueue, DeliversInOrderAndCloseReleasesBothSides) {
  BoundedQueue<int> queue(2);
  std::vector<int> received;
  std::thread consumer([&] {
    while (auto item = queue.Pop()) received.push_back(*item);
  });
  for (int i = 0; i < 500; ++i) ASSERT_TRUE(queue.Push(i));
  queue.Close();
  consumer.join();
  ASSERT_EQ(received.size(), 500u);
  for (int i = 0; i < 500; ++i) EXPECT_EQ(received[i], i);
  EXPECT_FALSE(queue.Push(1));

  // A producer blocked on a full queue is released by Close.
  BoundedQueue<int> full(1);
  ASSERT_TRUE(full.Push(1));
  std::thread producer([&] { EXPECT_FALSE(full.Push(2)); });
  full.Close();
  producer.join();
  EXPECT_EQ(full.Pop(), 1);
  EXPECT_EQ(full.Pop(), std::nullopt);
}

TEST(BoundedQueue, HandsHeavyItemsOverWhileLightOnesWaitInTheirOwnPlaces) {
  BoundedQueue<int> queue(0, 2);
  // Light items need no consumer up to their own capacity.
  ASSERT_TRUE(queue.Push(1, true));
  ASSERT_TRUE(queue.Push(2, true));
  std::atomic<bool> handedOver{false};
  std::thread producer([&] {
    EXPECT_TRUE(queue.Push(3));  // returns only once the consumer took it
    handedOver = true;
    EXPECT_TRUE(queue.Push(4, true));
  });
  EXPECT_EQ(queue.Pop(), 1);
  EXPECT_EQ(queue.Pop(), 2);
  EXPECT_FALSE(handedOver.load()) << "the picture was not taken yet";
  EXPECT_EQ(queue.Pop(), 3);
  EXPECT_EQ(queue.Pop(), 4);
  producer.join();
  EXPECT_TRUE(handedOver.load());

  // A producer waiting for its item to be taken (or for room) is released by Close.
  std::thread waiting([&] { queue.Push(5); });
  queue.Close();
  waiting.join();
  EXPECT_FALSE(queue.Push(6, true));
}

}  // namespace
}  // namespace vantrel
