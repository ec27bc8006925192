// SPDX-License-Identifier: GPL-3.0-or-later
// Subtitle pictures as a DVD shows them: four colours, fill and outline apart, the glyphs'
// edges in the shade between them, everything inside the action-safe area, drawn for the
// picture's shape, one picture per stretch of unchanged text.
#include <gtest/gtest.h>

#include <set>

#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_muxer.h"

namespace vantrel {
namespace {

TextSubtitles TrackOf(const std::vector<std::tuple<int, int, std::string>>& cues) {
  TextSubtitles track;
  track.ok = true;
  int order = 0;
  for (const auto& [start, end, text] : cues)
    track.cues.push_back({start, end, std::to_string(order++) + ",0,Default,,0,0,0,," + text});
  return track;
}

SubpictureBitmap RenderOne(const SubpictureGeometry& geometry, const TextSubtitles& track, int timeMs,
                           const SubtitleStyle& style = {}) {
  SubpictureRenderer renderer(geometry, style);
  std::string error;
  EXPECT_TRUE(renderer.Load(track, &error)) << error;
  return renderer.RenderAt(timeMs);
}

int Neighbour(const SubpictureBitmap& b, int x, int y) {
  if (x < b.x || y < b.y || x >= b.x + b.width || y >= b.y + b.height) return kTransparent;
  return b.At(x, y);
}

void ExpectInsideSafeArea(const SubpictureBitmap& bitmap, const SubpictureGeometry& geometry) {
  const SafeArea safe = geometry.ActionSafe();
  ASSERT_FALSE(bitmap.Empty());
  EXPECT_GE(bitmap.x, safe.x);
  EXPECT_GE(bitmap.y, safe.y);
  EXPECT_LE(bitmap.x + bitmap.width, safe.x + safe.width);
  EXPECT_LE(bitmap.y + bitmap.height, safe.y + safe.height);
  EXPECT_EQ(bitmap.y % 2, 0);
  EXPECT_EQ(bitmap.height % 2, 0);
}

TEST(SubpictureRenderer, FillOutlineAndShadeAreDistinctAndTheShadeLiesOnTheGlyphEdges) {
  const SubpictureGeometry pal = SubpictureGeometry::Of(TvStandard::Pal, false);
  SubtitleStyle style;
  style.fill = 0xFFFF00;
  style.outline = 0x101010;
  const SubpictureBitmap b = RenderOne(pal, TrackOf({{1000, 3000, "Hello 你好 World"}}), 2000, style);
  ASSERT_FALSE(b.Empty());
  EXPECT_EQ(b.palette[kFill], 0xFFFF00u);
  EXPECT_EQ(b.palette[kOutline], 0x101010u);
  EXPECT_EQ(b.palette[kShade], 0x878708u);
  EXPECT_EQ(std::set<std::uint32_t>(b.palette.begin() + 1, b.palette.end()).size(), 3u);

  int counts[4] = {}, shadeOnEdge = 0, fillOnNothing = 0;
  for (int y = b.y; y < b.y + b.height; ++y)
    for (int x = b.x; x < b.x + b.width; ++x) {
      const int here = b.At(x, y);
      ++counts[here];
      std::set<int> around = {Neighbour(b, x - 1, y), Neighbour(b, x + 1, y), Neighbour(b, x, y - 1),
                              Neighbour(b, x, y + 1)};
      if (here == kShade && (around.count(kFill) || around.count(kOutline))) ++shadeOnEdge;
      if (here == kFill && around.count(kTransparent)) ++fillOnNothing;
    }
  EXPECT_GT(counts[kFill], 500);
  EXPECT_GT(counts[kOutline], 500);
  EXPECT_GT(counts[kShade], 100);
  // The shade is where glyph meets outline, never loose in the picture...
  EXPECT_EQ(shadeOnEdge, counts[kShade]);
  // ...and the outline closes every glyph off from the picture beneath.
  EXPECT_EQ(fillOnNothing, 0);
  int fillBesideOutline = 0;
  for (int y = b.y; y < b.y + b.height; ++y)
    for (int x = b.x; x + 1 < b.x + b.width; ++x)
      fillBesideOutline += (b.At(x, y) == kFill && b.At(x + 1, y) == kOutline) ||
                           (b.At(x, y) == kOutline && b.At(x + 1, y) == kFill);
  // Hinted upright strokes meet their outline on a pixel boundary; every slanted or curved
  // edge goes through the shade, so there are more shade pixels than direct contacts.
  EXPECT_GT(counts[kShade], fillBesideOutline);
  ExpectInsideSafeArea(b, pal);
  // A subtitle sits low in the picture, centred.
  EXPECT_GT(b.y, 576 / 2);
  EXPECT_NEAR(b.x + b.width / 2.0, 360, 8);
}

TEST(SubpictureRenderer, LongLinesAndPlacedTextStayInsideTheActionSafeArea) {
  for (const SubpictureGeometry& geometry :
       {SubpictureGeometry::Of(TvStandard::Pal, false), SubpictureGeometry::Of(TvStandard::Ntsc, true)}) {
    SCOPED_TRACE(geometry.height);
    const std::string longLine =
        "This line is far too long to fit across the picture at any reasonable size and has to wrap";
    ExpectInsideSafeArea(RenderOne(geometry, TrackOf({{0, 1000, longLine}}), 500), geometry);
    // Text placed at the picture's very corner and beyond it.
    ExpectInsideSafeArea(RenderOne(geometry, TrackOf({{0, 1000, "{\\an7\\pos(0,0)}Corner"}}), 500), geometry);
    // Text half beyond the corner is cut at the safe area's edge.
    ExpectInsideSafeArea(RenderOne(geometry, TrackOf({{0, 1000, "{\\an5\\pos(640,420)}Beyond"}}), 500), geometry);
  }
}

TEST(SubpictureRenderer, WidePicturesGetNarrowerGlyphsSoTheyLookRightStretched) {
  const TextSubtitles track = TrackOf({{0, 1000, "OOOO"}});
  const SubpictureBitmap normal = RenderOne(SubpictureGeometry::Of(TvStandard::Pal, false), track, 500);
  const SubpictureBitmap wide = RenderOne(SubpictureGeometry::Of(TvStandard::Pal, true), track, 500);
  ASSERT_FALSE(normal.Empty());
  ASSERT_FALSE(wide.Empty());
  EXPECT_NEAR(double(wide.width) / normal.width, 0.75, 0.05);
  EXPECT_NEAR(wide.height, normal.height, 2);
}

TEST(SubpictureRenderer, AssFilesKeepTheirOwnStyles) {
  TextSubtitles track = TrackOf({{0, 2000, "Styled"}});
  track.cues[0].event = "0,0,Sign,,0,0,0,,Styled";
  track.ownStyles = true;
  track.assHeader =
      "[Script Info]\nScriptType: v4.00+\nPlayResX: 384\nPlayResY: 288\n\n[V4+ Styles]\n"
      "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, "
      "Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, "
      "MarginR, MarginV, Encoding\n"
      "Style: Sign,Liberation Serif,30,&H000000FF,&H000000FF,&H00FF0000,&H00000000,0,0,0,0,100,100,0,0,1,2,0,8,10,"
      "10,10,1\n\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";
  const SubpictureGeometry pal = SubpictureGeometry::Of(TvStandard::Pal, false);
  const SubpictureBitmap b = RenderOne(pal, track, 1000);
  ASSERT_FALSE(b.Empty());
  EXPECT_EQ(b.palette[kFill], 0xFF0000u);  // red text (ASS colours are BGR)
  EXPECT_EQ(b.palette[kOutline], 0x0000FFu);
  EXPECT_LT(b.y, 576 / 2);  // alignment 8: top centre
  ExpectInsideSafeArea(b, pal);
}

TEST(SubpictureRenderer, OnePicturePerStretchOfUnchangedText) {
  SubpictureRenderer renderer(SubpictureGeometry::Of(TvStandard::Pal, false), {});
  std::string error;
  // The second cue overlaps the first; a gap; then two cues of the same text back to back.
  ASSERT_TRUE(renderer.Load(TrackOf({{1000, 3000, "One"}, {2000, 4000, "Two"}, {5000, 6000, "Three"},
                                     {6000, 7000, "Three"}}),
                            &error))
      << error;
  const std::vector<Subpicture> pictures = renderer.RenderAll();
  ASSERT_EQ(pictures.size(), 4u);
  const std::vector<std::pair<int, int>> times = {{1000, 2000}, {2000, 3000}, {3000, 4000}, {5000, 7000}};
  for (size_t i = 0; i < times.size(); ++i) {
    EXPECT_EQ(pictures[i].startMs, times[i].first) << i;
    EXPECT_EQ(pictures[i].endMs, times[i].second) << i;
  }
  // Both cues at once take two lines.
  EXPECT_GT(pictures[1].bitmap.height, pictures[0].bitmap.height * 3 / 2);
}

TEST(SubpictureRenderer, AStreamKeepsToSixteenColours) {
  std::vector<Subpicture> pictures(8);
  for (size_t i = 0; i < pictures.size(); ++i) {
    const std::uint32_t c = std::uint32_t(i) * 0x101010 + 0x202020;
    pictures[i].bitmap.palette = {0, c, c ^ 0xFFFFFF, c / 2};
  }
  const SubtitleStyle style;
  FitStreamPalette(&pictures, style);
  std::set<std::uint32_t> colours;
  for (const Subpicture& picture : pictures) colours.insert(picture.bitmap.palette.begin() + 1, picture.bitmap.palette.end());
  EXPECT_LE(colours.size(), 16u);
  EXPECT_EQ(pictures[0].bitmap.palette[kFill], 0x202020u);  // early pictures keep their colours
  EXPECT_EQ(pictures[7].bitmap.palette[kFill], style.fill);  // late ones take the style's
}

}  // namespace
}  // namespace vantrel
