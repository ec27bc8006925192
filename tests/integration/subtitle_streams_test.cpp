// SPDX-License-Identifier: GPL-3.0-or-later
// Three subtitle tracks of different colours added to a title with two sound streams in
// one pass: the title's streams come through whole and in their numbers, the subpicture
// streams are numbered in track order, the title's one colour table reaches the disc's
// program chain, and a player shows each track in its own colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdint>
#include <regex>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_muxer.h"
#include "subtitles/subtitle_reader.h"
#include "support/disc_readback.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kYellow = 0xFFFF00, kBlue = 0x0000FF;

// An ASS track with yellow letters outlined in blue.
constexpr const char* kYellowAss =
    "[Script Info]\nScriptType: v4.00+\nPlayResX: 720\nPlayResY: 576\n\n[V4+ Styles]\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
    "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
    "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\n"
    "Style: Sign,DejaVu Sans,48,&H0000FFFF,&H0000FFFF,&H00FF0000,&H00000000,1,0,0,0,100,100,0,0,1,"
    "4,0,2,10,10,10,1\n\n[Events]\n"
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
    "Dialogue: 0,0:00:00.40,0:00:02.00,Sign,,0,0,0,,Yellow HHH\n";

int Distance(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int shift : {16, 8, 0}) d = std::max(d, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
  return d;
}

class SubtitleStreams : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    const test::TempFolder& f = *folder_;
    ASSERT_TRUE(test::Ffmpeg("-f lavfi -i color=c=0x303030:size=720x576:rate=25 -f lavfi -i "
                             "sine=frequency=440:sample_rate=48000 -f lavfi -i sine=frequency=660:sample_rate=48000 "
                             "-map 0:v -map 1:a -map 2:a -t 3 -target pal-dvd -muxdelay 0.1 -muxpreload 0.1 " +
                             ShellQuote(f / "title.mpg")));
    test::WriteText(f / "white.srt", "1\n00:00:00,400 --> 00:00:02,000\n白色 White\n");
    test::WriteText(f / "yellow.ass", kYellowAss);
    test::WriteText(f / "third.srt", "1\n00:00:01,000 --> 00:00:01,500\nThird\n");
    tracks_ = new std::vector<std::vector<Subpicture>>(3);
    SubpictureRenderer renderer(SubpictureGeometry::Of(TvStandard::Pal, false), SubtitleStyle{});
    std::string error;
    const char* names[] = {"white.srt", "yellow.ass", "third.srt"};
    for (size_t k = 0; k < 3; ++k) {
      const TextSubtitles text = ReadSubtitleFile(f / names[k]);
      ASSERT_TRUE(text.ok) << text.error;
      ASSERT_TRUE(renderer.Load(text, &error)) << error;
      (*tracks_)[k] = renderer.RenderAll();
      ASSERT_EQ((*tracks_)[k].size(), 1u) << names[k];
    }
    std::vector<Subpicture>* all[] = {&(*tracks_)[0], &(*tracks_)[1], &(*tracks_)[2]};
    FitTitlePalette({all[0], all[1], all[2]}, SubtitleStyle{});
    SubtitleMuxInputs mux;
    mux.title = f / "title.mpg";
    mux.output = f / "title.sub.mpg";
    mux.palette = f / "title.rgb";
    ASSERT_TRUE(MuxSubtitleStreams({{0, all[0]}, {1, all[1]}, {2, all[2]}}, mux, &error)) << error;
    test::WriteText(f / "dvd.xml", "<dvdauthor><vmgm/><titleset><titles>" + SubpictureElement("zh") +
                                       SubpictureElement("en") + SubpictureElement("fr") + "<pgc palette=\"" +
                                       mux.palette + "\"><vob file=\"" + mux.output +
                                       "\"/></pgc></titles></titleset></dvdauthor>");
    ASSERT_TRUE(ShellCommand("dvdauthor -o " + ShellQuote(f / "DVD") + " -x " + ShellQuote(f / "dvd.xml"),
                             {f.Path(), {"VIDEO_FORMAT=PAL"}, f / "dvdauthor.log"}))
        << test::ReadText(f / "dvdauthor.log");
  }
  static void TearDownTestSuite() {
    delete tracks_;
    delete folder_;
  }

  static std::string Streams(const std::string& file) {
    std::string out;
    EXPECT_EQ(test::RunCapture("ffprobe -v error -count_packets -show_entries stream=codec_name,id,nb_read_packets "
                               "-of csv=p=0 " + ShellQuote(file),
                               out),
              0)
        << out;
    return out;
  }

  static test::TempFolder* folder_;
  static std::vector<std::vector<Subpicture>>* tracks_;
};

test::TempFolder* SubtitleStreams::folder_ = nullptr;
std::vector<std::vector<Subpicture>>* SubtitleStreams::tracks_ = nullptr;

TEST_F(SubtitleStreams, TheTitlesStreamsComeThroughWholeAndTheSubpicturesInTrackOrder) {
  const std::string before = Streams((*folder_) / "title.mpg"), after = Streams((*folder_) / "title.sub.mpg");
  std::smatch video, first, second;
  const std::regex kVideo(R"(mpeg2video,0x1e0,(\d+),)"), kFirst(R"(ac3,0x80,(\d+))"), kSecond(R"(ac3,0x81,(\d+))");
  ASSERT_TRUE(std::regex_search(before, video, kVideo)) << before;
  ASSERT_TRUE(std::regex_search(before, first, kFirst)) << before;
  ASSERT_TRUE(std::regex_search(before, second, kSecond)) << before;
  // Every picture and every sound packet, each sound in its own stream number.
  EXPECT_NE(after.find("mpeg2video,0x1e0," + video[1].str() + ","), std::string::npos) << after;
  EXPECT_NE(after.find("ac3,0x80," + first[1].str() + "\n"), std::string::npos) << after;
  EXPECT_NE(after.find("ac3,0x81," + second[1].str() + "\n"), std::string::npos) << after;
  const size_t s0 = after.find("dvd_subtitle,0x20,1\n"), s1 = after.find("dvd_subtitle,0x21,1\n"),
               s2 = after.find("dvd_subtitle,0x22,1\n");
  ASSERT_NE(s0, std::string::npos) << after;
  ASSERT_NE(s1, std::string::npos) << after;
  ASSERT_NE(s2, std::string::npos) << after;
  EXPECT_LT(s0, s1);
  EXPECT_LT(s1, s2);

  const std::vector<test::LsdvdTitle> titles = test::ReadWithLsdvd((*folder_) / "DVD");
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].subtitleLanguages, (std::vector<std::string>{"zh", "en", "fr"}));
  ASSERT_EQ(titles[0].sound.size(), 2u);
  std::string scan;
  ASSERT_EQ(test::RunCapture("HandBrakeCLI --scan -t 0 --min-duration 0 -i " + ShellQuote((*folder_) / "DVD") + " 2>&1",
                             scan),
            0)
      << scan;
  EXPECT_NE(scan.find("+ 3, Francais"), std::string::npos) << scan;
  EXPECT_NE(scan.find("+ 2, "), std::string::npos) << scan;
}

// The white and the yellow track's colours are all in the table the disc's title carries.
TEST_F(SubtitleStreams, EveryTracksColoursAreInTheTitlesTable) {
  const test::DvdFacts disc = test::ReadDvd((*folder_) / "DVD");
  ASSERT_EQ(disc.titles.size(), 1u);
  const std::vector<std::uint32_t>& table = disc.titles[0].paletteRgb;
  ASSERT_EQ(table.size(), 16u);
  for (const auto& track : *tracks_)
    for (int index : {kFill, kOutline, kShade}) {
      const std::uint32_t colour = track[0].bitmap.palette[size_t(index)];
      int nearest = 255;
      for (std::uint32_t entry : table) nearest = std::min(nearest, Distance(entry, colour));
      EXPECT_LE(nearest, 6) << Format("colour %06x of index %d", colour, index);
    }
  EXPECT_EQ((*tracks_)[1][0].bitmap.palette[kFill], kYellow);
  EXPECT_EQ((*tracks_)[1][0].bitmap.palette[kOutline], kBlue);
}

// mplayer with the second subpicture stream on, where the picture puts its letters. It
// draws subpictures in grey, each colour of the table by its luma: the letters show
// yellow's, their outline blue's, and the first stream's white is nowhere.
int StudioLuma(std::uint32_t rgb) {
  return int(16 + (65.481 * (rgb >> 16 & 0xFF) + 128.553 * (rgb >> 8 & 0xFF) + 24.966 * (rgb & 0xFF)) / 255 + 0.5);
}

TEST_F(SubtitleStreams, APlayerShowsTheSecondTrackInItsOwnColours) {
  const std::string frames = (*folder_) / "frames";
  ASSERT_TRUE(test::PlayDiscPictures((*folder_) / "DVD", 1, 1, 30, frames));
  const test::Frame frame = test::ReadPpm(frames + "/00000030.ppm");  // 1.16 s in
  ASSERT_EQ(frame.width, 720);
  const SubpictureBitmap& cue = (*tracks_)[1][0].bitmap;
  const int yellow = StudioLuma(kYellow), blue = StudioLuma(kBlue), white = StudioLuma(0xFFFFFF);
  int fill = 0, fillYellow = 0, outline = 0, outlineBlue = 0, whites = 0;
  for (int y = cue.y; y < cue.y + cue.height; ++y)
    for (int x = cue.x; x < cue.x + cue.width; ++x) {
      const int shown = static_cast<std::uint8_t>(frame.rgb[(size_t(y) * 720 + size_t(x)) * 3 + 1]);
      whites += std::abs(shown - white) <= 6;
      if (cue.At(x, y) == kFill) ++fill, fillYellow += std::abs(shown - yellow) <= 6;
      if (cue.At(x, y) == kOutline) ++outline, outlineBlue += std::abs(shown - blue) <= 6;
    }
  ASSERT_GT(fill, 300);
  ASSERT_GT(outline, 300);
  EXPECT_GT(fillYellow, fill * 9 / 10);
  EXPECT_GT(outlineBlue, outline * 9 / 10);
  EXPECT_EQ(whites, 0);
}

}  // namespace
}  // namespace vantrel
