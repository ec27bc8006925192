// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/colour_palette.h"

#include "base/text_format.h"

namespace vantrel {
namespace {

constexpr int kGreys[kPaletteRows] = {255, 232, 209, 186, 163, 140, 117, 94, 71, 48, 23, 0};

}  // namespace

const std::array<std::uint16_t, 16> kPipetteAndMask = {
    0xFFF1, 0xFFE0, 0xFFC0, 0xFF00, 0xFF81, 0xFF03, 0xFE07, 0xFC17,
    0xF83F, 0xF07F, 0xE0FF, 0xC1FF, 0x83FF, 0x87FF, 0x0FFF, 0x3FFF};
const std::array<std::uint16_t, 16> kPipetteXorMask = {
    0x0000, 0x000C, 0x0008, 0x0010, 0x0000, 0x0040, 0x00E0, 0x01C0,
    0x0380, 0x0700, 0x0E00, 0x1C00, 0x3800, 0x3000, 0x4000, 0x0000};

Colour PaletteCellColour(int column, int row) {
  if (column < 0 || column >= kPaletteColumns || row < 0 || row >= kPaletteRows) return 0;
  if (column == 0) return MakeColour(kGreys[row], kGreys[row], kGreys[row]);
  // Blue runs down the six rows of a band; green steps across the columns and wraps after
  // six; red steps every six columns, the lower band continuing where the upper one ends.
  const int c = column - 1;
  const int band = row / 6;
  const int blue = 51 * (row % 6);
  const int green = 51 * (c % 6);
  const int red = 51 * (c / 6 + 3 * band);
  return MakeColour(red, green, blue);
}

int PaletteCellAt(int x, int y) {
  if (x < 0 || y < 0 || y >= kPaletteGridHeight || x >= kPaletteColumns * kPaletteCell) return -1;
  // The black lines are the last pixel of every cell, at x and y ending in 9.
  if (x % kPaletteCell == kPaletteCell - 1 || y % kPaletteCell == kPaletteCell - 1) return -1;
  return x / kPaletteCell + kPaletteColumns * (y / kPaletteCell);
}

std::string PaletteHexText(Colour colour) {
  return Format("#%02X%02X%02X", ColourRed(colour), ColourGreen(colour), ColourBlue(colour));
}

PixelPoint PalettePopupOrigin(const Rect& button, int screenWidth, int screenHeight) {
  PixelPoint origin{button.left, button.Bottom() - 1};
  if (origin.x + kPaletteWidth > screenWidth) origin.x = screenWidth - kPaletteWidth;
  if (origin.x < 0) origin.x = 0;
  if (origin.y > screenHeight - kPaletteHeight) origin.y = button.Bottom() - kPaletteHeight - 1;
  return origin;
}

CursorPixel PipettePixel(int x, int y) {
  if (x < 0 || x > 15 || y < 0 || y > 15) return CursorPixel::Transparent;
  const std::uint16_t bit = std::uint16_t(0x8000u >> x);
  const bool andBit = kPipetteAndMask[size_t(y)] & bit;
  const bool xorBit = kPipetteXorMask[size_t(y)] & bit;
  if (andBit) return xorBit ? CursorPixel::Inverted : CursorPixel::Transparent;
  return xorBit ? CursorPixel::White : CursorPixel::Black;
}

PalettePick::PalettePick(Colour start) : start_(start), candidate_(start) {}

void PalettePick::PressOnButton(PixelPoint screen) {
  lastPress_ = screen;
  pressInPopup_ = false;
  moved_ = false;
}

void PalettePick::Press(PixelPoint screen) {
  lastPress_ = screen;
  pressInPopup_ = true;
  moved_ = false;
}

bool PalettePick::Move(PixelPoint screen, PixelPoint local, PaletteArea area, Colour pixel) {
  if (!(screen == lastPress_)) moved_ = true;
  switch (area) {
    case PaletteArea::Grid: {
      const int index = PaletteCellAt(local.x, local.y);
      if (index != hovered_) {
        hovered_ = index;
        if (index >= 0) candidate_ = pixel;
      }
      return true;
    }
    case PaletteArea::Strip:
    case PaletteArea::MoreButton:
      candidate_ = start_;
      hovered_ = -1;
      return false;
    case PaletteArea::Outside:
      candidate_ = pixel;
      return true;
  }
  return true;
}

std::optional<Colour> PalettePick::Release(PixelPoint screen) const {
  if (moved_ || (pressInPopup_ && screen == lastPress_)) return candidate_;
  return std::nullopt;
}

}  // namespace vantrel
