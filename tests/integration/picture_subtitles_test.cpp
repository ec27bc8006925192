// SPDX-License-Identifier: GPL-3.0-or-later
// A source's picture subtitle stream (DVD subtitles, here made by spumux from a picture
// and carried in an MKV) brought onto a disc in the subpicture's four colours: decoded at
// its times and place, then authored and read back by lsdvd and played by mplayer.
#include <gtest/gtest.h>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "authoring/title_subtitles.h"
#include "base/text_format.h"
#include "subtitles/picture_subtitles.h"
#include "subtitles/subtitle_muxer.h"
#include "subtitles/subtitle_reader.h"
#include "support/disc_readback.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

// The picture spumux gets, and where it puts it: a black frame, white inside.
constexpr int kBoxX = 260, kBoxY = 440, kBoxW = 200, kBoxH = 60, kFrameWidth = 6;

class PictureSubtitles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    const test::TempFolder& f = *folder_;
    ASSERT_TRUE(test::Ffmpeg(Format("-f lavfi -i color=c=black:size=%dx%d -vf drawbox=x=%d:y=%d:w=%d:h=%d:color=white:t=fill "
                                    "-frames:v 1 -pix_fmt rgb24 ",
                                    kBoxW, kBoxH, kFrameWidth, kFrameWidth, kBoxW - 2 * kFrameWidth,
                                    kBoxH - 2 * kFrameWidth) +
                             ShellQuote(f / "box.png")));
    // Little read-ahead in the film: mplayer shows a subpicture once it has read it.
    ASSERT_TRUE(test::Ffmpeg("-f lavfi -i color=c=0x304080:size=720x576:rate=25 -f lavfi -i "
                             "sine=frequency=440:sample_rate=48000 -t 5 -target pal-dvd -muxdelay 0.1 -muxpreload 0.1 " +
                             ShellQuote(f / "film.mpg")));
    test::WriteText(f / "spu.xml", Format("<subpictures><stream><spu start=\"00:00:01.00\" end=\"00:00:03.00\" "
                                              "xoffset=\"%d\" yoffset=\"%d\" image=\"",
                                              kBoxX, kBoxY) +
                                       f / "box.png" + "\"/></stream></subpictures>");
    ASSERT_TRUE(ShellCommand("spumux -s 0 " + ShellQuote(f / "spu.xml") + " < " + ShellQuote(f / "film.mpg") + " > " +
                                 ShellQuote(f / "with-subs.mpg"),
                             {f.Path(), {"VIDEO_FORMAT=PAL"}, f / "spumux.log"}))
        << test::ReadText(f / "spumux.log");
    // The source as users bring it: an MKV with the DVD subtitles beside the film.
    ASSERT_TRUE(test::Ffmpeg("-fflags +genpts -i " + ShellQuote(f / "with-subs.mpg") + " -map 0:v -map 0:a -map 0:s -c copy -metadata:s:s:0 language=fre " +
                             ShellQuote(f / "source.mkv")));
  }
  static void TearDownTestSuite() { delete folder_; }

  static int SubtitleStream() {
    std::vector<SubtitleStreamInfo> streams;
    std::string error;
    EXPECT_TRUE(ListSubtitleStreams((*folder_) / "source.mkv", &streams, &error)) << error;
    EXPECT_EQ(streams.size(), 1u);
    if (streams.empty()) return -1;
    EXPECT_EQ(streams[0].codec, "dvd_subtitle");
    EXPECT_FALSE(streams[0].text);
    return streams[0].index;
  }

  static test::TempFolder* folder_;
};

test::TempFolder* PictureSubtitles::folder_ = nullptr;

TEST_F(PictureSubtitles, DecodedAtTheirTimesAndPlaceInFourColours) {
  std::vector<Subpicture> pictures;
  std::string error;
  const int stream = SubtitleStream();
  ASSERT_TRUE(ReadPictureSubtitles((*folder_) / "source.mkv", stream, SubpictureGeometry::Of(TvStandard::Pal, false),
                                   &pictures, &error))
      << error;
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_NEAR(double(pictures[0].startMs), 1000, 40);
  EXPECT_NEAR(double(pictures[0].endMs), 3000, 40);
  const SubpictureBitmap& box = pictures[0].bitmap;
  EXPECT_EQ(box.x, kBoxX);
  EXPECT_EQ(box.y, kBoxY);
  EXPECT_EQ(box.width, kBoxW);
  EXPECT_EQ(box.height, kBoxH);
  const std::uint8_t inside = box.At(kBoxX + kBoxW / 2, kBoxY + kBoxH / 2);
  const std::uint8_t edge = box.At(kBoxX + 2, kBoxY + kBoxH / 2);
  ASSERT_NE(inside, kTransparent);
  ASSERT_NE(edge, kTransparent);
  ASSERT_NE(inside, edge);
  // spumux's own colour conversion and back: near white and near black.
  EXPECT_GT(box.palette[inside] >> 16 & 0xFF, 200u);
  EXPECT_LT(box.palette[edge] >> 16 & 0xFF, 50u);

  EXPECT_FALSE(ReadPictureSubtitles((*folder_) / "source.mkv", 0, SubpictureGeometry::Of(TvStandard::Pal, false),
                                    &pictures, &error));  // the video stream
  EXPECT_NE(error.find("no subtitle stream 0"), std::string::npos) << error;
}

TEST_F(PictureSubtitles, OnTheDiscWhereLsdvdAndMplayerFindThem) {
  const test::TempFolder& f = *folder_;
  const SubtitleTrack track{"", SubtitleStream(), "", "", true};
  EXPECT_EQ(SubtitleTrackProblem(track, f / "source.mkv"), "");
  TitleSubtitleInputs inputs;
  inputs.source = f / "source.mkv";
  inputs.vob = f / "film.mpg";
  inputs.output = f / "title.mpg";
  inputs.palette = f / "title.rgb";
  std::vector<SubtitleStreamFacts> facts;
  std::string error;
  ASSERT_TRUE(AddSubtitleStreams({track}, inputs, &facts, &error)) << error;
  ASSERT_EQ(facts.size(), 1u);
  EXPECT_EQ(facts[0].language, "fr");  // the container's tag
  test::WriteText(f / "dvd.xml", "<dvdauthor><vmgm/><titleset><titles>" + SubpictureElement("fr") + "<pgc palette=\"" +
                                     inputs.palette + "\"><vob file=\"" +
                                     inputs.output + "\"/></pgc></titles></titleset></dvdauthor>");
  ASSERT_TRUE(ShellCommand("dvdauthor -o " + ShellQuote(f / "DVD") + " -x " + ShellQuote(f / "dvd.xml"),
                           {f.Path(), {"VIDEO_FORMAT=PAL"}, f / "dvdauthor.log"}))
      << test::ReadText(f / "dvdauthor.log");
  const std::vector<test::LsdvdTitle> titles = test::ReadWithLsdvd(f / "DVD");
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].subtitleLanguages, std::vector<std::string>{"fr"});

  ASSERT_TRUE(test::PlayDiscPictures(f / "DVD", 1, 0, 100, f / "frames"));
  int shown = 0, first = -1;
  for (int n = 1; n <= 100; ++n) {
    const test::Frame frame = test::ReadPpm(f / "frames" + Format("/%08d.ppm", n));
    ASSERT_EQ(frame.width, 720) << n;
    const bool white = frame.Luma(kBoxX + kBoxW / 2, kBoxY + kBoxH / 2) > 200;
    const bool dark = frame.Luma(kBoxX + 2, kBoxY + kBoxH / 2) < 40;
    if (white && dark) {
      ++shown;
      if (first < 0) first = n - 1;
    }
  }
  EXPECT_NEAR(first, 25, 2);  // one second in
  EXPECT_NEAR(shown, 50, 3);  // for two seconds
}

}  // namespace
}  // namespace vantrel
