// SPDX-License-Identifier: GPL-3.0-or-later
// The subtitle page's preview of a picture subtitle stream (DVD subtitles, made by spumux
// and carried in an MKV): the chosen picture on the film's frame, where ffmpeg's own
// decoder places it, in the colours the disc's subpicture stream gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/subtitles_page_logic.h"
#include "authoring/command_templates.h"
#include "authoring/cue_preview.h"
#include "authoring/shell_command.h"
#include "base/text_format.h"
#include "subtitles/subtitle_muxer.h"
#include "subtitles/subtitle_reader.h"
#include "support/disc_readback.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel::app {
namespace {

// Two pictures: a white box framed in black from 1 s to 2 s low in the frame, and a
// yellow one framed in dark blue from 3 s to 4 s high on the left.
struct Box {
  int x, y, w, h;
  const char *frame, *inside;
  const char *start, *end;
};
constexpr Box kBoxes[] = {{260, 440, 200, 60, "black", "white", "00:00:01.00", "00:00:02.00"},
                          {100, 100, 120, 40, "0x202080", "0xC0C000", "00:00:03.00", "00:00:04.00"}};
constexpr int kFilmR = 0x30, kFilmG = 0x40, kFilmB = 0x80;

class PictureCuePreview : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    const test::TempFolder& f = *folder_;
    std::string spus;
    for (int i = 0; i < 2; ++i) {
      const Box& b = kBoxes[i];
      const std::string png = f / Format("box%d.png", i);
      ASSERT_TRUE(test::Ffmpeg(Format("-f lavfi -i color=c=%s:size=%dx%d -vf drawbox=x=4:y=4:w=%d:h=%d:color=%s:t=fill "
                                      "-frames:v 1 -pix_fmt rgb24 ",
                                      b.frame, b.w, b.h, b.w - 8, b.h - 8, b.inside) +
                               ShellQuote(png)));
      spus += Format("<spu start=\"%s\" end=\"%s\" xoffset=\"%d\" yoffset=\"%d\" image=\"", b.start, b.end, b.x, b.y) +
              png + "\"/>";
    }
    // Little read-ahead in the film: mplayer shows a subpicture once it has read it.
    ASSERT_TRUE(test::Ffmpeg(Format("-f lavfi -i color=c=0x%02X%02X%02X:size=720x576:rate=25 -f lavfi -i "
                                    "sine=frequency=440:sample_rate=48000 -t 5 -target pal-dvd -muxdelay 0.1 -muxpreload 0.1 ",
                                    kFilmR, kFilmG, kFilmB) +
                             ShellQuote(f / "film.mpg")));
    test::WriteText(f / "spu.xml", "<subpictures><stream>" + spus + "</stream></subpictures>");
    ASSERT_TRUE(ShellCommand("spumux -s 0 " + ShellQuote(f / "spu.xml") + " < " + ShellQuote(f / "film.mpg") + " > " +
                                 ShellQuote(f / "with-subs.mpg"),
                             {f.Path(), {"VIDEO_FORMAT=PAL"}, f / "spumux.log"}))
        << test::ReadText(f / "spumux.log");
    ASSERT_TRUE(test::Ffmpeg("-fflags +genpts -i " + ShellQuote(f / "with-subs.mpg") + " -map 0:v -map 0:a -map 0:s -c copy " +
                             ShellQuote(f / "source.mkv")));
  }
  static void TearDownTestSuite() { delete folder_; }

  static std::string Source() { return (*folder_) / "source.mkv"; }

  // The frame at `seconds` with the subtitles drawn by ffmpeg's own decoder and overlay.
  static test::Frame OverlaidByFfmpeg(double seconds, const std::string& name) {
    const std::string ppm = (*folder_) / name;
    EXPECT_TRUE(test::Ffmpeg(Format("-ss %.2f -i ", seconds) + ShellQuote(Source()) +
                             " -filter_complex '[0:v][0:s]overlay' -frames:v 1 " + ShellQuote(ppm)));
    return test::ReadPpm(ppm);
  }

  static test::TempFolder* folder_;
};

test::TempFolder* PictureCuePreview::folder_ = nullptr;

bool IsFilm(const std::uint8_t* p) {
  return std::abs(p[0] - kFilmR) < 16 && std::abs(p[1] - kFilmG) < 16 && std::abs(p[2] - kFilmB) < 16;
}

TEST_F(PictureCuePreview, TheChosenPictureLiesWhereFfmpegShowsItInTheDiscsColours) {
  std::vector<SubtitleStreamInfo> streams;
  std::string error;
  ASSERT_TRUE(ListSubtitleStreams(Source(), &streams, &error)) << error;
  ASSERT_EQ(streams.size(), 1u);
  ASSERT_FALSE(streams[0].text);
  // The track as the run reads it for the disc: its second picture is the cue to show.
  std::vector<Subpicture> pictures;
  ASSERT_TRUE(ReadPictureTrack(Source(), streams[0].index, TvStandard::Pal, false, &pictures, &error)) << error;
  ASSERT_EQ(pictures.size(), 2u);
  const SubpictureBitmap& disc = pictures[1].bitmap;

  RgbImage preview;
  ASSERT_TRUE(RenderPictureCuePreview(pictures, 1, {Source(), TvStandard::Pal, false}, &preview, &error)) << error;
  ASSERT_EQ(preview.width, 720);
  ASSERT_EQ(preview.height, 576);
  const test::Frame ffmpeg = OverlaidByFfmpeg(3.5, "ffmpeg.ppm");
  ASSERT_EQ(ffmpeg.width, 720);
  int shown = 0, agree = 0, light = 0, dark = 0;
  for (int y = 0; y < 576; ++y)
    for (int x = 0; x < 720; ++x) {
      const std::uint8_t* p = preview.Row(y) + x * 3;
      const auto* q = reinterpret_cast<const std::uint8_t*>(ffmpeg.rgb.data()) + (size_t(y) * 720 + size_t(x)) * 3;
      const bool inDisc = x >= disc.x && x < disc.x + disc.width && y >= disc.y && y < disc.y + disc.height &&
                          disc.At(x, y) != kTransparent;
      if (!inDisc) {
        ASSERT_TRUE(IsFilm(p)) << "the film's own picture at " << x << "," << y;
        agree += IsFilm(q);
        continue;
      }
      ++shown;
      // Exactly the colour the disc's subpicture stream gives this pixel ...
      const std::uint32_t colour = disc.palette[disc.At(x, y) & 3];
      ASSERT_EQ(p[0], colour >> 16 & 0xFF) << x << "," << y;
      ASSERT_EQ(p[1], colour >> 8 & 0xFF) << x << "," << y;
      ASSERT_EQ(p[2], colour & 0xFF) << x << "," << y;
      // ... where ffmpeg shows the subtitle too, as light or as dark as ffmpeg has it.
      const int lumaPreview = (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
      const int lumaFfmpeg = ffmpeg.Luma(x, y);
      agree += !IsFilm(q) && std::abs(lumaPreview - lumaFfmpeg) < 48;
      (lumaPreview > 128 ? light : dark)++;
    }
  EXPECT_EQ(shown, kBoxes[1].w * kBoxes[1].h);
  EXPECT_EQ(disc.x, kBoxes[1].x);
  EXPECT_EQ(disc.y, kBoxes[1].y);
  EXPECT_GT(light, (kBoxes[1].w - 8) * (kBoxes[1].h - 8) * 9 / 10) << "the box's inside";
  EXPECT_GT(dark, 2 * 4 * (kBoxes[1].w + kBoxes[1].h) * 9 / 10) << "its frame";
  EXPECT_GE(agree, 720 * 576 - 720 * 576 / 1000) << "pixels where the preview and ffmpeg differ";

  // The first picture is elsewhere and sooner; a picture the track does not have is refused.
  ASSERT_TRUE(RenderPictureCuePreview(pictures, 0, {Source(), TvStandard::Pal, false}, &preview, &error)) << error;
  EXPECT_TRUE(IsFilm(preview.Row(kBoxes[1].y + 20) + (kBoxes[1].x + 60) * 3));
  EXPECT_FALSE(IsFilm(preview.Row(kBoxes[0].y + 30) + (kBoxes[0].x + 100) * 3));
  EXPECT_FALSE(RenderPictureCuePreview(pictures, 2, {Source(), TvStandard::Pal, false}, &preview, &error));
  EXPECT_NE(error.find("no picture 3"), std::string::npos) << error;
}

// The run's disc, played by mplayer with the subtitles on, shows the cue as the preview has it.
TEST_F(PictureCuePreview, TheDiscShowsThePictureAsThePreviewDoes) {
  const test::TempFolder& f = *folder_;
  std::vector<SubtitleStreamInfo> streams;
  std::string error;
  ASSERT_TRUE(ListSubtitleStreams(Source(), &streams, &error)) << error;
  ASSERT_EQ(streams.size(), 1u);
  test::WriteText(f / "disc.vantrel", "{\"format\": \"vantrel-project\", \"version\": 1, \"titles\": [{\"source\": \"" +
                                          Source() + "\", \"subtitles\": [{\"source\": \"\", \"stream\": " +
                                          std::to_string(streams[0].index) +
                                          ", \"language\": \"fr\", \"encoding\": \"\", \"default\": true}]}]}");
  std::string out;
  ASSERT_EQ(test::RunCapture(ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                                 " author --pal --no-menu --yes --work " + ShellQuote(f / "work") + " " +
                                 ShellQuote(f / "disc.vantrel") + " 2>&1",
                             out),
            0)
      << out;
  const std::vector<test::LsdvdTitle> titles = test::ReadWithLsdvd(f / "work/DVD");
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].subtitleLanguages, std::vector<std::string>{"fr"});
  // The first frame that shows the second picture (mplayer shows a subpicture once it has
  // read it, a little late), within the picture's second.
  const Box& b = kBoxes[1];
  ASSERT_TRUE(test::PlayDiscPictures(f / "work/DVD", 1, 0, 110, f / "played"));
  test::Frame played;
  int at = 0;
  for (int n = 1; n <= 110 && !at; ++n) {
    played = test::ReadPpm(f / "played" + Format("/%08d.ppm", n));
    ASSERT_EQ(played.width, 720) << n;
    ASSERT_EQ(played.height, 576) << n;
    if (!IsFilm(reinterpret_cast<const std::uint8_t*>(played.rgb.data()) +
                (size_t(b.y + b.h / 2) * 720 + size_t(b.x + b.w / 2)) * 3))
      at = n - 1;
  }
  EXPECT_GE(at, 75);
  EXPECT_LT(at, 100);

  std::vector<Subpicture> pictures;
  ASSERT_TRUE(ReadPictureTrack(Source(), streams[0].index, TvStandard::Pal, false, &pictures, &error)) << error;
  RgbImage preview;
  ASSERT_TRUE(RenderPictureCuePreview(pictures, 1, {Source(), TvStandard::Pal, false}, &preview, &error)) << error;
  int alike = 0, pixels = 0;
  int worst = 0;
  for (int y = b.y - 8; y < b.y + b.h + 8; ++y)
    for (int x = b.x - 8; x < b.x + b.w + 8; ++x) {
      const std::uint8_t* p = preview.Row(y) + x * 3;
      const auto* q = reinterpret_cast<const std::uint8_t*>(played.rgb.data()) + (size_t(y) * 720 + size_t(x)) * 3;
      int difference = 0;
      for (int c = 0; c < 3; ++c) difference = std::max(difference, std::abs(int(p[c]) - int(q[c])));
      worst = std::max(worst, difference);
      ++pixels;
      alike += difference < 40;
    }
  // The player's colour conversion blurs the colours' edges a little.
  EXPECT_GE(alike, pixels * 95 / 100) << "worst difference " << worst;
  const auto* middle = reinterpret_cast<const std::uint8_t*>(played.rgb.data()) +
                       (size_t(b.y + b.h / 2) * 720 + size_t(b.x + b.w / 2)) * 3;
  const std::uint8_t* shown = preview.Row(b.y + b.h / 2) + (b.x + b.w / 2) * 3;
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(middle[c], shown[c], 24) << "channel " << c;
}

// The page lists a picture stream's pictures by time and size and previews the chosen one
// at the disc's picture: for NTSC the picture is scaled to 720 x 480.
TEST_F(PictureCuePreview, ThePageListsAndPreviewsAPictureStream) {
  std::vector<SubtitleStreamInfo> streams;
  std::string error;
  ASSERT_TRUE(ListSubtitleStreams(Source(), &streams, &error)) << error;
  TitleRecord title;
  title.SourcePath = Source();
  SubtitlesPageLogic page(title, streams);
  ASSERT_EQ(page.AddSourceStream(0), "");
  const std::vector<std::string> cues = page.CueList(0, TvStandard::Pal, false);
  ASSERT_EQ(cues.size(), 2u);
  EXPECT_EQ(cues[0].substr(0, 9), "00:00:01.") << cues[0];
  EXPECT_EQ(cues[1].substr(0, 9), "00:00:03.") << cues[1];
  EXPECT_NE(cues[1].find("120 x 40"), std::string::npos) << cues[1];

  RgbImage preview;
  ASSERT_TRUE(page.Preview(0, 0, TvStandard::Ntsc, false, &preview, &error)) << error;
  ASSERT_EQ(preview.height, 480);
  const int y = (kBoxes[0].y + kBoxes[0].h / 2) * 480 / 576;
  EXPECT_GT(preview.Row(y)[(kBoxes[0].x + kBoxes[0].w / 2) * 3 + 1], 200) << "the white inside";
  EXPECT_TRUE(IsFilm(preview.Row(240) + 360 * 3));

  // A stream the file does not have lists and previews nothing.
  title.Subtitles = {{"", 7, "", "", false}};
  SubtitlesPageLogic missing(title, streams);
  EXPECT_TRUE(missing.CueList(0).empty());
  EXPECT_FALSE(missing.Preview(0, 0, TvStandard::Pal, false, &preview, &error));
}

}  // namespace
}  // namespace vantrel::app
