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
// The film is made of square pixels (720 x 576 at 1.25:1), a shape no DVD frame has: the
// run encodes it into a 4:3 frame between narrow bars left and right, the film at x 22 to
// 697. Its pictures are squeezed into that part with it.
constexpr int kFilmX = 22, kFilmW = 676;
int FilmX(int x) { return kFilmX + x * kFilmW / 720; }

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
  static test::Frame OverlaidByFfmpeg(double seconds, const std::string& name, const std::string& fit) {
    const std::string ppm = (*folder_) / name;
    EXPECT_TRUE(test::Ffmpeg(Format("-ss %.2f -i ", seconds) + ShellQuote(Source()) +
                             " -filter_complex '[0:v][0:s]overlay" + fit + "' -frames:v 1 " + ShellQuote(ppm)));
    return test::ReadPpm(ppm);
  }

  static test::TempFolder* folder_;
};

test::TempFolder* PictureCuePreview::folder_ = nullptr;

// The title's tracks as the subtitle page draws them: for the frame the run gives the title.
TitleSubtitleInputs TitleInputs(const std::string& source, TvStandard standard) {
  const PlannedTitleFrame planned = PlanTitleFrame({source}, 0, {standard, false, 1});
  TitleSubtitleInputs inputs;
  inputs.source = source;
  inputs.standard = standard;
  inputs.wide = planned.frame.wide;
  inputs.film = planned.frame.film;
  inputs.picturesFrom = planned.picturesFrom;
  return inputs;
}

std::int64_t Middle(const Subpicture& p) { return (p.startMs + p.endMs) / 2; }

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
  TitleCuePreview title(TitleInputs(Source(), TvStandard::Pal));
  const std::vector<SubtitleTrack> tracks{{"", streams[0].index, "", "", false}};
  const std::vector<Subpicture>* pictures = title.Track(tracks[0], &error);
  ASSERT_TRUE(pictures) << error;
  ASSERT_EQ(pictures->size(), 2u);
  SubpictureBitmap disc;
  ASSERT_TRUE(title.ShownAt(tracks, 0, Middle((*pictures)[1]), &disc, &error)) << error;

  RgbImage preview;
  ASSERT_TRUE(title.Render(tracks, 0, Middle((*pictures)[1]), &preview, &error)) << error;
  ASSERT_EQ(preview.width, 720);
  ASSERT_EQ(preview.height, 576);
  // ffmpeg's overlay, fitted into the frame as the encoder fits the film.
  const test::Frame ffmpeg = OverlaidByFfmpeg(3.5, "ffmpeg.ppm", Format(",scale=%d:576,pad=720:576:%d:0", kFilmW, kFilmX));
  ASSERT_EQ(ffmpeg.width, 720);
  int shown = 0, agree = 0, light = 0, dark = 0;
  for (int y = 0; y < 576; ++y)
    for (int x = 0; x < 720; ++x) {
      const std::uint8_t* p = preview.Row(y) + x * 3;
      const auto* q = reinterpret_cast<const std::uint8_t*>(ffmpeg.rgb.data()) + (size_t(y) * 720 + size_t(x)) * 3;
      const bool inDisc = x >= disc.x && x < disc.x + disc.width && y >= disc.y && y < disc.y + disc.height &&
                          disc.At(x, y) != kTransparent;
      if (x < kFilmX || x >= kFilmX + kFilmW) {  // the bars, black in both
        ASSERT_EQ(std::max({p[0], p[1], p[2]}), 0) << "the bar at " << x << "," << y;
        agree += std::max({q[0], q[1], q[2]}) < 8;
        continue;
      }
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
  const int width = kBoxes[1].w * kFilmW / 720;
  EXPECT_NEAR(shown, width * kBoxes[1].h, 2 * kBoxes[1].h);
  EXPECT_NEAR(disc.x, FilmX(kBoxes[1].x), 2);
  EXPECT_EQ(disc.y, kBoxes[1].y);
  EXPECT_GT(light, (width - 8) * (kBoxes[1].h - 8) * 9 / 10) << "the box's inside";
  EXPECT_GT(dark, 2 * 4 * (width + kBoxes[1].h) * 8 / 10) << "its frame";
  EXPECT_GE(agree, 720 * 576 - 720 * 576 / 1000) << "pixels where the preview and ffmpeg differ";

  // The first picture is elsewhere and sooner; a picture the track does not have is refused.
  ASSERT_TRUE(title.Render(tracks, 0, Middle((*pictures)[0]), &preview, &error)) << error;
  EXPECT_TRUE(IsFilm(preview.Row(kBoxes[1].y + 20) + FilmX(kBoxes[1].x + 60) * 3));
  EXPECT_FALSE(IsFilm(preview.Row(kBoxes[0].y + 30) + FilmX(kBoxes[0].x + 100) * 3));
  TitleRecord record;
  record.SourcePath = Source();
  record.Subtitles = tracks;
  SubtitlesPageLogic page(record, streams);
  EXPECT_FALSE(page.Preview(0, 2, {}, &preview, &error));
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

  TitleRecord record;
  record.SourcePath = Source();
  record.Subtitles = {{"", streams[0].index, "", "", false}};
  SubtitlesPageLogic page(record, streams);
  RgbImage preview;
  ASSERT_TRUE(page.Preview(0, 1, {}, &preview, &error)) << error;
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

// A film wider than 16:9 (2.35:1) is encoded between bars above and below, lines 70 to
// 505 of the PAL frame. Its picture subtitles lie on the film, squeezed with it, and the
// player shows none of them on the bars; the page's preview has the same bars and the
// picture where the player shows it.
TEST_F(PictureCuePreview, ALetterboxedTitleShowsItsPicturesOnTheFilmAsThePreviewDoes) {
  const test::TempFolder& f = *folder_;
  const std::string scope = f / "scope.mkv";
  ASSERT_TRUE(test::Ffmpeg("-i " + ShellQuote(Source()) + " -map 0 -c copy -aspect 2.35 " + ShellQuote(scope)));
  std::vector<SubtitleStreamInfo> streams;
  std::string error;
  ASSERT_TRUE(ListSubtitleStreams(scope, &streams, &error)) << error;
  ASSERT_EQ(streams.size(), 1u);
  test::WriteText(f / "scope.vantrel", "{\"format\": \"vantrel-project\", \"version\": 1, \"titles\": [{\"source\": \"" +
                                           scope + "\", \"subtitles\": [{\"source\": \"\", \"stream\": " +
                                           std::to_string(streams[0].index) +
                                           ", \"language\": \"fr\", \"encoding\": \"\", \"default\": true}]}]}");
  std::string out;
  ASSERT_EQ(test::RunCapture(ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                                 " author --pal --no-menu --yes --work " + ShellQuote(f / "scope-work") + " " +
                                 ShellQuote(f / "scope.vantrel") + " 2>&1",
                             out),
            0)
      << out;
  const std::vector<test::LsdvdTitle> titles = test::ReadWithLsdvd(f / "scope-work/DVD");
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].subtitleLanguages, std::vector<std::string>{"fr"});

  constexpr int kTop = 70, kBottom = 506;  // the film's lines
  const Box& b = kBoxes[1];
  const int boxTop = kTop + b.y * (kBottom - kTop) / 576, boxHeight = b.h * (kBottom - kTop) / 576;
  const int middleX = b.x + b.w / 2, middleY = boxTop + boxHeight / 2;
  ASSERT_TRUE(test::PlayDiscPictures(f / "scope-work/DVD", 1, 0, 110, f / "scope-played"));
  test::Frame played;
  int at = 0;
  for (int n = 1; n <= 110 && !at; ++n) {
    played = test::ReadPpm(f / "scope-played" + Format("/%08d.ppm", n));
    ASSERT_EQ(played.width, 720) << n;
    ASSERT_EQ(played.height, 576) << n;
    if (!IsFilm(reinterpret_cast<const std::uint8_t*>(played.rgb.data()) + (size_t(middleY) * 720 + size_t(middleX)) * 3))
      at = n - 1;
  }
  ASSERT_GE(at, 75) << "the second picture is not shown inside the film";
  EXPECT_LT(at, 100);
  auto pixel = [&](int x, int y) {
    return reinterpret_cast<const std::uint8_t*>(played.rgb.data()) + (size_t(y) * 720 + size_t(x)) * 3;
  };
  // The bars are black, nothing of the subtitle on them; what is not the film's colour
  // inside the film is the box, squeezed as the film is.
  int top = 576, bottom = -1, left = 720, right = -1, lit = 0;
  for (int y = 0; y < 576; ++y)
    for (int x = 0; x < 720; ++x) {
      const std::uint8_t* p = pixel(x, y);
      const bool bar = y < kTop - 2 || y >= kBottom + 2;
      if (bar) {
        lit += std::max({p[0], p[1], p[2]}) > 40;
        continue;
      }
      if (y < kTop + 2 || y >= kBottom - 2 || IsFilm(p)) continue;
      top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x), right = std::max(right, x);
    }
  EXPECT_EQ(lit, 0) << "pixels lit on the bars";
  EXPECT_NEAR(top, boxTop, 3);
  EXPECT_NEAR(bottom + 1 - top, boxHeight, 4);
  EXPECT_NEAR(left, b.x, 2);
  EXPECT_NEAR(right + 1 - left, b.w, 2);

  // The page's preview of that picture: the same bars, the box where the player has it.
  TitleRecord record;
  record.SourcePath = scope;
  record.Subtitles = {{"", streams[0].index, "", "", false}};
  SubtitlesPageLogic page(record, streams);
  EXPECT_TRUE(page.Wide({}));
  RgbImage preview;
  ASSERT_TRUE(page.Preview(0, 1, {}, &preview, &error)) << error;
  ASSERT_EQ(preview.width, 720);
  ASSERT_EQ(preview.height, 576);
  int alike = 0, pixels = 0, worst = 0;
  for (int y = 0; y < 576; y += 2)
    for (int x = 0; x < 720; x += 2) {
      const std::uint8_t* p = preview.Row(y) + x * 3;
      const std::uint8_t* q = pixel(x, y);
      int difference = 0;
      for (int c = 0; c < 3; ++c) difference = std::max(difference, std::abs(int(p[c]) - int(q[c])));
      worst = std::max(worst, difference);
      ++pixels;
      alike += difference < 40;
    }
  // The player's colour conversion blurs the edges of the box and of the bars a little.
  EXPECT_GE(alike, pixels * 99 / 100) << "worst difference " << worst;
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(preview.Row(middleY)[middleX * 3 + c], pixel(middleX, middleY)[c], 24) << "channel " << c;
    EXPECT_LE(preview.Row(kTop / 2)[360 * 3 + c], 8) << "the upper bar, channel " << c;
    EXPECT_LE(preview.Row((kBottom + 576) / 2)[360 * 3 + c], 8) << "the lower bar, channel " << c;
  }
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
  const std::vector<std::string> cues = page.CueList(0);
  ASSERT_EQ(cues.size(), 2u);
  EXPECT_EQ(cues[0].substr(0, 9), "00:00:01.") << cues[0];
  EXPECT_EQ(cues[1].substr(0, 9), "00:00:03.") << cues[1];
  EXPECT_NE(cues[1].find(Format("%d x 40", (kBoxes[1].w * kFilmW + 719) / 720)), std::string::npos) << cues[1];

  RgbImage preview;
  ASSERT_TRUE(page.Preview(0, 0, {TvStandard::Ntsc, false, 1}, &preview, &error)) << error;
  ASSERT_EQ(preview.height, 480);
  const int y = (kBoxes[0].y + kBoxes[0].h / 2) * 480 / 576;
  EXPECT_GT(preview.Row(y)[FilmX(kBoxes[0].x + kBoxes[0].w / 2) * 3 + 1], 200) << "the white inside";
  EXPECT_TRUE(IsFilm(preview.Row(240) + 360 * 3));

  // A stream the file does not have lists and previews nothing.
  title.Subtitles = {{"", 7, "", "", false}};
  SubtitlesPageLogic missing(title, streams);
  EXPECT_TRUE(missing.CueList(0).empty());
  EXPECT_FALSE(missing.Preview(0, 0, {}, &preview, &error));
}

}  // namespace
}  // namespace vantrel::app
