// SPDX-License-Identifier: GPL-3.0-or-later
// Subtitle files drawn, multiplexed as two streams into a real MPEG-2 title and authored
// onto a disc with chapters at planned times; the disc is read back by lsdvd and HandBrake
// (the subtitle streams, their languages, the chapters), its stream by ffprobe, and it is
// played by mplayer with the subtitles on.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

#include "authoring/chapter_plan.h"
#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "base/run_cancel.h"
#include "base/text_format.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_muxer.h"
#include "subtitles/subtitle_reader.h"
#include "support/disc_readback.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

constexpr double kFrame = 1.0 / 25;

using test::Frame;
using test::LsdvdTitle;
using test::ReadPpm;
using test::ReadWithLsdvd;

class SubtitleDisc : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    const test::TempFolder& f = *folder_;
    // mplayer shows a subpicture once it has read it, and reads the stream only as far as
    // the pictures it decodes; the title is multiplexed with little read-ahead so that this
    // is when the cue begins, as a player that keeps to the stream's clock shows it.
    ASSERT_TRUE(test::Ffmpeg("-f lavfi -i color=c=0x303030:size=720x576:rate=25 -f lavfi -i "
                             "sine=frequency=440:sample_rate=48000 -t 6 -target pal-dvd -muxdelay 0.1 "
                             "-muxpreload 0.1 " + ShellQuote(f / "title.mpg")));
    ASSERT_TRUE(test::MakeDvdClip(f / "second.mpg", 10, false));
    test::WriteText(f / "film.srt", "1\n00:00:02,000 --> 00:00:04,000\n字幕 Subtitle\n");

    const TextSubtitles track = ReadSubtitleFile(f / "film.srt");
    ASSERT_TRUE(track.ok) << track.error;
    SubpictureRenderer renderer(SubpictureGeometry::Of(TvStandard::Pal, false), SubtitleStyle{});
    std::string error;
    ASSERT_TRUE(renderer.Load(track, &error)) << error;
    std::vector<Subpicture> pictures = renderer.RenderAll();
    ASSERT_EQ(pictures.size(), 1u);
    picture_ = new Subpicture(pictures[0]);
    FitStreamPalette(&pictures, SubtitleStyle{});
    // A second language in the same pass, in stream 1.
    test::WriteText(f / "film.en.srt", "1\n00:00:04,500 --> 00:00:05,500\nSecond language\n");
    const TextSubtitles english = ReadSubtitleFile(f / "film.en.srt");
    ASSERT_TRUE(english.ok) << english.error;
    ASSERT_TRUE(renderer.Load(english, &error)) << error;
    const std::vector<Subpicture> englishPictures = renderer.RenderAll();
    SubtitleMuxInputs mux;
    mux.title = f / "title.mpg";
    mux.output = f / "title.sub.mpg";
    mux.palette = f / "title.rgb";
    ASSERT_TRUE(MuxSubtitleStreams({{0, &pictures}, {1, &englishPictures}}, mux, &error)) << error;

    // Chapters of the second title: one too near the end, one twice, out of order; all on
    // picture-group starts (15 pictures), where the authoring tool can put them.
    ChapterPlan plan{ChapterMode::kTimes, 0, {7.2, 2.4, 9.6, 2.4}};
    chapters_ = ChapterTimes(plan, 10.0);
    const std::string script = f / "dvd.xml";
    test::WriteText(script,
                    "<dvdauthor><vmgm/><titleset><titles>" + SubpictureElement("chi") + SubpictureElement("eng") +
                        "<pgc palette=\"" + mux.palette + "\"><vob file=\"" + mux.output + "\"/></pgc>"
                        "<pgc><vob file=\"" + f / "second.mpg" + "\" chapters=\"" + ChaptersText(chapters_) +
                        "\"/></pgc></titles></titleset></dvdauthor>");
    ASSERT_TRUE(ShellCommand("dvdauthor -o " + ShellQuote(f / "DVD") + " -x " + ShellQuote(script),
                             {f.Path(), {"VIDEO_FORMAT=PAL"}, f / "dvdauthor.log"}))
        << test::ReadText(f / "dvdauthor.log");
  }
  static void TearDownTestSuite() {
    delete picture_;
    delete folder_;
  }

  static test::TempFolder* folder_;
  static Subpicture* picture_;
  static std::vector<double> chapters_;
};

test::TempFolder* SubtitleDisc::folder_ = nullptr;
Subpicture* SubtitleDisc::picture_ = nullptr;
std::vector<double> SubtitleDisc::chapters_;

TEST_F(SubtitleDisc, LsdvdFindsTheSubtitleStreamWithItsLanguageAndTheChaptersAtTheirTimes) {
  const std::vector<LsdvdTitle> titles = ReadWithLsdvd((*folder_) / "DVD");
  ASSERT_EQ(titles.size(), 2u);
  EXPECT_EQ(titles[0].subtitleLanguages, (std::vector<std::string>{"zh", "en"}));
  ASSERT_EQ(chapters_, (std::vector<double>{0, 2.4, 7.2}));
  ASSERT_EQ(titles[1].chapterStarts.size(), chapters_.size());
  for (size_t i = 0; i < chapters_.size(); ++i)
    EXPECT_NEAR(titles[1].chapterStarts[i], chapters_[i], kFrame + 1e-6) << "chapter " << i + 1;
}

// The subtitle as a player shows it: mplayer draws the disc's subpicture stream into the
// pictures it writes. The white text appears on the dark title exactly while the cue lasts
// (2.000 s to 4.000 s: pictures 50 to 99), where the subpicture was placed, and nowhere else.
// HandBrake's scan, a second reader: both subtitle tracks in their languages, and the
// planned chapters (it tells their lengths in whole seconds only).
TEST_F(SubtitleDisc, HandBrakeFindsBothSubtitleTracksAndTheChapters) {
  std::string out;
  ASSERT_EQ(test::RunCapture("HandBrakeCLI --scan -t 0 --min-duration 0 -i " + ShellQuote((*folder_) / "DVD") +
                                 " 2>&1",
                             out),
            0)
      << out;
  const size_t second = out.find("+ title 2:");
  ASSERT_NE(second, std::string::npos) << out;
  const std::string first = out.substr(0, second), other = out.substr(second);
  EXPECT_NE(first.find("+ 1, 中文"), std::string::npos) << first;
  EXPECT_NE(first.find("+ 2, English"), std::string::npos) << first;
  EXPECT_NE(other.find("+ 1: duration 00:00:02\n    + 2: duration 00:00:05\n    + 3: duration 00:00:03\n"),
            std::string::npos)
      << other;
  EXPECT_EQ(other.find("+ 4:"), std::string::npos) << other;
}

// The multiplexer leaves nothing half-made: a title it cannot read and a cancelled job
// end without an output file, with the reason, and the title is left as it was.
TEST_F(SubtitleDisc, AFailedOrCancelledMultiplexLeavesNoOutput) {
  const test::TempFolder& f = *folder_;
  std::vector<Subpicture> pictures{*picture_};
  test::WriteText(f / "not a title.mpg", "this is not an MPEG stream");
  SubtitleMuxInputs mux;
  mux.title = f / "not a title.mpg";
  mux.output = f / "failed.mpg";
  mux.palette = f / "failed.rgb";
  std::string error;
  EXPECT_FALSE(MuxSubtitles(pictures, mux, &error));
  EXPECT_NE(error.find("not an MPEG-2 program stream"), std::string::npos) << error;
  EXPECT_FALSE(FileExists(mux.output));
  EXPECT_FALSE(FileExists(mux.palette));
  EXPECT_EQ(test::ReadText(mux.title), "this is not an MPEG stream");

  const std::uint64_t titleSize = FileSize(f / "title.mpg");
  mux.title = f / "title.mpg";
  mux.output = f / "cancelled.mpg";
  std::atomic<bool> cancel{true};
  {
    CancelScope scope(cancel);
    EXPECT_FALSE(MuxSubtitles(pictures, mux, &error));
  }
  EXPECT_EQ(error, "cancelled");
  EXPECT_FALSE(FileExists(mux.output));
  EXPECT_EQ(FileSize(mux.title), titleSize);

  mux.output = mux.title;  // never over its own title
  EXPECT_FALSE(MuxSubtitles(pictures, mux, &error));
  EXPECT_EQ(FileSize(mux.title), titleSize);
  // No picture files of the failed runs are left beside the output either way, and no
  // partial output under a temporary name.
  for (const auto& entry : std::filesystem::directory_iterator(f.Path()))
    EXPECT_EQ(entry.path().filename().string().find(".part-"), std::string::npos) << entry.path();
}

// libavformat reads the subpicture's time in the title's stream: the cue's start from the
// first picture on.
TEST_F(SubtitleDisc, TheSubpictureStartsWithItsCue) {
  std::string out;
  ASSERT_EQ(test::RunCapture("ffprobe -v error -show_entries stream=codec_name,start_time -of csv=p=0 " +
                                 ShellQuote((*folder_) / "DVD/VIDEO_TS/VTS_01_1.VOB"),
                             out),
            0)
      << out;
  const std::regex video(R"(mpeg2video,([0-9.]+))"), subtitle(R"(dvd_subtitle,([0-9.]+))");
  std::smatch v, s;
  ASSERT_TRUE(std::regex_search(out, v, video)) << out;
  ASSERT_TRUE(std::regex_search(out, s, subtitle)) << out;
  EXPECT_NEAR(std::stod(s[1]) - std::stod(v[1]), 2.0, kFrame / 2) << out;
  // It is gone by the first picture after the cue (4.000 s), and not a frame earlier.
  ASSERT_EQ(test::RunCapture("ffprobe -v error -select_streams s -show_frames -show_entries "
                             "subtitle=end_display_time -of csv=p=0 " +
                                 ShellQuote((*folder_) / "DVD/VIDEO_TS/VTS_01_1.VOB"),
                             out),
            0)
      << out;
  const int shownMs = std::atoi(out.c_str());
  EXPECT_LE(shownMs, 2000) << out;
  EXPECT_GT(shownMs, 2000 - 1000 * kFrame) << out;
}

TEST_F(SubtitleDisc, MplayerShowsTheCueWhereAndWhenItBelongs) {
  const std::string frames = (*folder_) / "frames";
  ASSERT_TRUE(MakeFolder(frames));
  ASSERT_TRUE(ShellCommand("mplayer -really-quiet -benchmark -nosound -nolirc -noconfig all -vf expand=0:0:0:0:1 "
                           "-vo pnm:ppm:outdir=" + ShellQuote(frames) + " -sid 0 -dvd-device " +
                               ShellQuote((*folder_) / "DVD") + " dvd://1 -frames 150",
                           {folder_->Path(), {}, (*folder_) / "mplayer.log"}))
      << test::ReadText((*folder_) / "mplayer.log");
  const SubpictureBitmap& cue = picture_->bitmap;
  int first = -1, last = -1, outside = 0;
  for (int n = 1; n <= 150; ++n) {
    const Frame frame = ReadPpm(frames + "/" + Format("%08d.ppm", n));
    ASSERT_EQ(frame.width, 720) << n;
    ASSERT_EQ(frame.height, 576) << n;
    int bright = 0;
    for (int y = 0; y < frame.height; ++y)
      for (int x = 0; x < frame.width; ++x) {
        if (frame.Luma(x, y) < 160) continue;
        const bool inCue = x >= cue.x && x < cue.x + cue.width && y >= cue.y && y < cue.y + cue.height;
        inCue ? ++bright : ++outside;
      }
    if (bright > 300) {
      if (first < 0) first = n - 1;
      last = n - 1;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_NEAR(first, 50, 1);
  EXPECT_NEAR(last, 99, 1);
}

}  // namespace
}  // namespace vantrel
