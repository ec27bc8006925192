// SPDX-License-Identifier: GPL-3.0-or-later
// The media probe on clips ffmpeg makes: what the title list shows, and the video check.
#include <gtest/gtest.h>

#include "media/media_probe.h"
#include "platform/com/runtime.h"
#include "support/clips.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

class MediaProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    com::CoInitialize();
    ASSERT_TRUE(control_.Create());
  }
  void TearDown() override { com::CoUninitialize(); }

  TitleRecord Probe(const std::string& path) {
    TitleRecord record;
    record.SourcePath = path;
    ProbeTitleFacts(control_, record);
    return record;
  }

  test::TempFolder folder_;
  CVideoEdit control_;
};

TEST_F(MediaProbeTest, ProgramStreamsGiveTheTitleListTheirStandard) {
  std::string pal = folder_ / "pal 视频.mpg", ntsc = folder_ / "ntsc $x'.mpg";
  test::MakePatternClip(pal, "-c:v mpeg2video -c:a mp2 -f mpeg", "720x576", "25", 2);
  test::MakePatternClip(ntsc, "-c:v mpeg2video -c:a mp2 -f mpeg", "720x480", "30000/1001", 2);
  TitleRecord p = Probe(pal);
  EXPECT_EQ(p.ResolutionText, "720x576");
  EXPECT_EQ(p.FrameRateText, "PAL(25.00fps)");
  EXPECT_NEAR(p.Duration, 2.0, 0.1);
  TitleRecord n = Probe(ntsc);
  EXPECT_EQ(n.ResolutionText, "720x480");
  EXPECT_EQ(n.FrameRateText, "NTSC(29.97fps)");
  EXPECT_EQ(HasVideoStream(pal), 1);
  EXPECT_EQ(HasVideoStream(ntsc), 1);
}

TEST_F(MediaProbeTest, AviAndWmvAreProbed) {
  std::string avi = folder_ / "clip.avi", wmv = folder_ / "clip.wmv";
  test::MakePatternClip(avi, "-c:v mpeg4 -c:a libmp3lame", "640x480", "25", 2);
  test::MakePatternClip(wmv, "-c:v wmv2 -c:a wmav2", "320x240", "30000/1001", 2);
  TitleRecord a = Probe(avi);
  EXPECT_EQ(a.ResolutionText, "640x480");
  EXPECT_EQ(a.FrameRateText, "PAL(25.00fps)");
  EXPECT_NEAR(a.Duration, 2.0, 0.1);
  TitleRecord w = Probe(wmv);
  EXPECT_EQ(w.ResolutionText, "320x240");
  EXPECT_NEAR(w.Duration, 2.0, 0.2);
  EXPECT_EQ(HasVideoStream(avi), 1);
  EXPECT_EQ(HasVideoStream(wmv), 1);
}

TEST_F(MediaProbeTest, AudioOnlyAndUnreadableFiles) {
  std::string audio = folder_ / "song.mp3";
  test::MakeAudioOnlyClip(audio);
  EXPECT_EQ(HasVideoStream(audio), 0);
  TitleRecord a = Probe(audio);
  EXPECT_EQ(a.ResolutionText, "0x0");
  EXPECT_NEAR(a.Duration, 2.0, 0.1);

  test::WriteText(folder_ / "empty.mpg", "");
  test::WriteText(folder_ / "corrupt.avi", std::string(4096, '\x13'));
  std::string truncated = folder_ / "truncated.mpg";
  test::MakePatternClip(truncated, "-c:v mpeg2video -f mpeg", "320x240", "25", 1);
  test::WriteText(truncated, test::ReadText(truncated).substr(0, 100));
  for (const char* name : {"missing.mpg", "empty.mpg", "corrupt.avi"}) {
    EXPECT_LT(HasVideoStream(folder_ / name), 0) << name;
    TitleRecord r = Probe(folder_ / name);
    EXPECT_EQ(r.Duration, 0) << name;
    EXPECT_EQ(r.ResolutionText, "0x0") << name;
    EXPECT_EQ(r.FrameRateText, "0.00fps") << name;
  }
  EXPECT_EQ(HasVideoStream(folder_ / "missing.mpg"), int(0x80070002));
  // A cut file is probed for what is there; it must simply not crash or hang.
  HasVideoStream(truncated);
  Probe(truncated);
  EXPECT_EQ(test::ReadText(truncated).size(), 100u);  // the user's file is left as it was
}

TEST_F(MediaProbeTest, WithoutTheControlEveryQueryGivesItsDefault) {
  CVideoEdit missing;  // never created
  TitleRecord record;
  record.SourcePath = folder_ / "any.mpg";
  ProbeTitleFacts(missing, record);
  EXPECT_EQ(record.Duration, 0);
  EXPECT_EQ(record.ResolutionText, "0x0");
  EXPECT_FALSE(missing.ExportFrame(record.SourcePath, 0, folder_ / "x.bmp"));
}

}  // namespace
}  // namespace vantrel
