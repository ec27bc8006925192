// SPDX-License-Identifier: GPL-3.0-or-later
// The colour palette popup: grid colours and hits, placement at the screen edges, the
// pipette masks, and what a press, a drag and a release pick.
#include "menu/colour_palette.h"

#include <gtest/gtest.h>

#include <set>

namespace vantrel {
namespace {

TEST(ColourPalette, GridHoldsTheGreysAndEveryWebColourOnce) {
  EXPECT_EQ(PaletteCellColour(0, 0), MakeColour(255, 255, 255));
  EXPECT_EQ(PaletteCellColour(0, 10), MakeColour(23, 23, 23));
  EXPECT_EQ(PaletteCellColour(0, 11), MakeColour(0, 0, 0));
  EXPECT_EQ(PaletteCellColour(1, 0), MakeColour(0, 0, 0));
  EXPECT_EQ(PaletteCellColour(1, 5), MakeColour(0, 0, 255));     // blue runs down a band
  EXPECT_EQ(PaletteCellColour(6, 0), MakeColour(0, 255, 0));     // green across six columns
  EXPECT_EQ(PaletteCellColour(7, 0), MakeColour(51, 0, 0));      // then red steps, green wraps
  EXPECT_EQ(PaletteCellColour(18, 5), MakeColour(102, 255, 255));
  EXPECT_EQ(PaletteCellColour(1, 6), MakeColour(153, 0, 0));     // lower band: red 153..255
  EXPECT_EQ(PaletteCellColour(18, 11), MakeColour(255, 255, 255));
  std::set<Colour> web;
  for (int c = 1; c < kPaletteColumns; ++c)
    for (int r = 0; r < kPaletteRows; ++r) web.insert(PaletteCellColour(c, r));
  EXPECT_EQ(web.size(), 216u);
  for (Colour colour : web)
    for (int part : {ColourRed(colour), ColourGreen(colour), ColourBlue(colour)})
      EXPECT_EQ(part % 51, 0);
}

TEST(ColourPalette, CellHitsAndGridLines) {
  EXPECT_EQ(PaletteCellAt(0, 0), 0);
  EXPECT_EQ(PaletteCellAt(8, 8), 0);
  EXPECT_EQ(PaletteCellAt(9, 5), -1);     // vertical line
  EXPECT_EQ(PaletteCellAt(5, 19), -1);    // horizontal line
  EXPECT_EQ(PaletteCellAt(10, 0), 1);
  EXPECT_EQ(PaletteCellAt(15, 25), 1 + 19 * 2);
  EXPECT_EQ(PaletteCellAt(188, 118), 18 + 19 * 11);
  EXPECT_EQ(PaletteCellAt(185, 120), -1);  // below the grid: the strip
  EXPECT_EQ(PaletteCellAt(-1, 5), -1);
  EXPECT_EQ(PaletteHexText(MakeColour(0x12, 0xAB, 0x0F)), "#12AB0F");
}

TEST(ColourPalette, PopupStaysOnTheScreen) {
  const int w = 1024, h = 768;
  // Room everywhere: under the button, overlapping its lower edge by one pixel.
  PixelPoint p = PalettePopupOrigin(Rect{100, 100, 40, 20}, w, h);
  EXPECT_EQ(p, (PixelPoint{100, 119}));
  // Near the right edge the popup's right edge sits on the screen's.
  p = PalettePopupOrigin(Rect{990, 100, 30, 20}, w, h);
  EXPECT_EQ(p, (PixelPoint{w - 191, 119}));
  // Near the bottom it opens above the button's lower edge.
  p = PalettePopupOrigin(Rect{100, 700, 40, 20}, w, h);
  EXPECT_EQ(p, (PixelPoint{100, 720 - 151}));
  // A screen narrower than the popup keeps its left edge at 0.
  p = PalettePopupOrigin(Rect{50, 10, 40, 20}, 150, h);
  EXPECT_EQ(p.x, 0);
}

TEST(ColourPalette, PipetteMasks) {
  EXPECT_EQ(PipettePixel(0, 0), CursorPixel::Transparent);
  EXPECT_EQ(PipettePixel(15, 0), CursorPixel::Transparent);  // FFF1: bit 15 set, no xor
  EXPECT_EQ(PipettePixel(12, 0), CursorPixel::Black);         // FFF1 clear at x 12
  EXPECT_EQ(PipettePixel(12, 1), CursorPixel::White);         // XOR 000C at x 12
  EXPECT_EQ(PipettePixel(0, 15), CursorPixel::Black);         // the tip at the hot spot
  EXPECT_EQ(PipettePixel(16, 0), CursorPixel::Transparent);
}

TEST(ColourPalette, PlainClickOnTheButtonKeepsThePopupThenACellPicks) {
  PalettePick pick(0x123456);
  pick.PressOnButton({300, 200});
  EXPECT_FALSE(pick.Release({300, 200}).has_value());
  // A click on a grid cell inside the popup, without moving, picks that cell.
  const Colour cell = PaletteCellColour(3, 2);
  pick.Press({335, 245});
  EXPECT_TRUE(pick.Move({335, 245}, {35, 25}, PaletteArea::Grid, cell));
  ASSERT_TRUE(pick.Release({335, 245}).has_value());
  EXPECT_EQ(*pick.Release({335, 245}), cell);
}

TEST(ColourPalette, DragPicksTheScreenPixelAndGridLinesKeepTheCandidate) {
  PalettePick pick(0x000000);
  pick.PressOnButton({10, 10});
  pick.Move({50, 60}, {40, 50}, PaletteArea::Grid, 0x00FF00);
  EXPECT_EQ(pick.Candidate(), 0x00FF00u);
  EXPECT_EQ(pick.HoveredCell(), 4 + 19 * 5);
  pick.Move({49, 60}, {39, 50}, PaletteArea::Grid, 0x333333);  // on a line
  EXPECT_EQ(pick.Candidate(), 0x00FF00u);
  EXPECT_EQ(pick.HoveredCell(), -1);
  EXPECT_FALSE(pick.Move({60, 140}, {50, 130}, PaletteArea::Strip, 0xC0C0C0));  // the arrow
  EXPECT_EQ(pick.Candidate(), 0x000000u);                                         // back to start
  EXPECT_TRUE(pick.Move({900, 900}, {0, 0}, PaletteArea::Outside, 0xABCDEF));
  EXPECT_EQ(pick.Release({900, 900}).value_or(1), 0xABCDEFu);
}

}  // namespace
}  // namespace vantrel
