// SPDX-License-Identifier: GPL-3.0-or-later
// The 16 colours all subtitle streams of a title share: fitted across the streams, the
// earlier tracks choosing first, and refused whole when the pictures were not fitted.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/paths.h"
#include "subtitles/subtitle_muxer.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

Subpicture Picture(std::uint32_t fill, std::uint32_t outline, std::uint32_t shade) {
  Subpicture picture;
  picture.endMs = 1000;
  picture.bitmap.width = picture.bitmap.height = 2;
  picture.bitmap.index = {kFill, kOutline, kShade, kTransparent};
  picture.bitmap.palette = {0, fill, outline, shade};
  return picture;
}

std::set<std::uint32_t> ColoursOf(const std::vector<std::vector<Subpicture>>& streams) {
  std::set<std::uint32_t> colours;
  for (const auto& stream : streams)
    for (const Subpicture& picture : stream) colours.insert(picture.bitmap.palette.begin() + 1, picture.bitmap.palette.end());
  return colours;
}

TEST(TitlePalette, TheStreamsOfATitleShareSixteenColoursTheFirstTracksChoosingFirst) {
  // Two streams of five pictures, three colours of their own each: 30 colours asked for.
  std::vector<std::vector<Subpicture>> streams(2);
  for (std::uint32_t i = 0; i < 10; ++i)
    streams[i / 5].push_back(Picture(0x100000 * (i + 1), 0x001000 * (i + 1), 0x000010 * (i + 1)));
  const SubtitleStyle style;
  FitTitlePalette({&streams[0], &streams[1]}, style);
  EXPECT_LE(ColoursOf(streams).size(), 16u);
  // The style's three and four pictures' own: the first stream keeps its colours, the
  // second's take the style's.
  EXPECT_EQ(streams[0][3].bitmap.palette[kFill], 0x400000u);
  EXPECT_EQ(streams[0][4].bitmap.palette[kFill], style.fill);
  EXPECT_EQ(streams[1][0].bitmap.palette[kFill], style.fill);
  EXPECT_EQ(streams[1][0].bitmap.palette[kOutline], style.outline);

  SubpicturePalette palette;
  ASSERT_TRUE(PaletteOfPictures({&streams[0], &streams[1]}, &palette));
  for (std::uint32_t colour : ColoursOf(streams))
    EXPECT_NE(std::find(palette.begin(), palette.end(), colour), palette.end()) << std::hex << colour;
  // dvdauthor reads one colour a line.
  const std::string text = PaletteFileText(palette);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16);
  EXPECT_EQ(text.substr(0, 14), "100000\n001000\n");
}

TEST(TitlePalette, TooManyColoursOrStreamsOutOfPlaceAreRefusedBeforeAnythingIsWritten) {
  test::TempFolder folder;
  std::vector<Subpicture> unfitted;
  for (std::uint32_t i = 0; i < 6; ++i) unfitted.push_back(Picture(0x100000 * (i + 1), 0x001000 * (i + 1), i + 1));
  SubpicturePalette palette;
  EXPECT_FALSE(PaletteOfPictures({&unfitted}, &palette));

  SubtitleMuxInputs mux;
  mux.title = folder / "title.mpg";  // never read: the refusal comes first
  mux.output = folder / "out.mpg";
  mux.palette = folder / "out.rgb";
  std::string error;
  EXPECT_FALSE(MuxSubtitles(unfitted, mux, &error));
  EXPECT_NE(error.find("16 colours"), std::string::npos) << error;
  const std::vector<Subpicture> one{Picture(0xFFFFFF, 0, 0x808080)};
  EXPECT_FALSE(MuxSubtitleStreams({{1, &one}}, mux, &error));  // the first stream must be stream 0
  EXPECT_FALSE(MuxSubtitleStreams({}, mux, &error));
  EXPECT_FALSE(FileExists(mux.output));
  EXPECT_FALSE(FileExists(mux.palette));
}

}  // namespace
}  // namespace vantrel
