// SPDX-License-Identifier: GPL-3.0-or-later
// The colour palette popup of the colour buttons as data: the 19 x 12 grid of fixed colours,
// where the pointer hits it, where the popup opens on the screen, the pipette cursor's masks,
// and the pick rules of a press, a drag and a release.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "menu/layout_style.h"
#include "menu/menu_appearance.h"

namespace vantrel {

struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint&) const = default;
};

inline constexpr int kPaletteColumns = 19;
inline constexpr int kPaletteRows = 12;
inline constexpr int kPaletteCell = 10;                  // cells are 10 pixels apart
inline constexpr int kPaletteWidth = 191;                // client size of the popup
inline constexpr int kPaletteHeight = 150;
inline constexpr int kPaletteGridHeight = 120;           // the grid's part of the popup
inline constexpr Colour kColourButtonInitial = 0xFF00FF; // magenta until a dialog sets one

// Colour of grid cell (column, row): greys down column 0, the 216 web colours elsewhere.
Colour PaletteCellColour(int column, int row);
// Cell index (column + 19 * row) under a point measured from the popup's top-left corner,
// or -1 on a grid line or outside the grid.
int PaletteCellAt(int x, int y);
// "#RRGGBB" of a colour, as the popup prints it.
std::string PaletteHexText(Colour colour);

// Top-left corner of the popup for a button at `button` (screen coordinates) on a screen
// of the given size: under the button, pulled left onto the screen, above the button's
// lower edge when it would leave the bottom.
PixelPoint PalettePopupOrigin(const Rect& button, int screenWidth, int screenHeight);

// The pipette cursor's 16 x 16 masks, one row a value, most significant bit left.
extern const std::array<std::uint16_t, 16> kPipetteAndMask;
extern const std::array<std::uint16_t, 16> kPipetteXorMask;
inline constexpr PixelPoint kPipetteHotSpot{0, 15};
// What a mask pair makes of a pixel: and 1 xor 0 transparent, 0 0 black, 0 1 white,
// 1 1 the screen inverted.
enum class CursorPixel { Transparent, Black, White, Inverted };
CursorPixel PipettePixel(int x, int y);

// What the pointer is over while the popup holds the capture.
enum class PaletteArea { Grid, Strip, MoreButton, Outside };

// The popup's pick state: the candidate colour, the hovered cell, and the press/drag rules.
class PalettePick {
 public:
  // A new popup: candidate and starting colour are the button's colour.
  explicit PalettePick(Colour start);

  // The press on the colour button that opened the popup, at a screen point: a release
  // there without a move leaves the popup open.
  void PressOnButton(PixelPoint screen);
  // A press inside the popup, at a screen point.
  void Press(PixelPoint screen);
  // The pointer moved to `screen` over `area`; `local` is the point measured from the
  // popup's top-left corner and `pixel` the screen colour under the pointer. True when the
  // pipette cursor should show (false: the arrow).
  bool Move(PixelPoint screen, PixelPoint local, PaletteArea area, Colour pixel);
  // The mouse button went up at `screen` (or the popup lost activation): the colour
  // picked, or nothing when the popup stays open (a plain click on the colour button).
  std::optional<Colour> Release(PixelPoint screen) const;

  Colour Candidate() const { return candidate_; }
  Colour Start() const { return start_; }
  int HoveredCell() const { return hovered_; }
  bool Moved() const { return moved_; }

 private:
  Colour start_;
  Colour candidate_;
  int hovered_ = -1;
  PixelPoint lastPress_{-1, -1};
  bool pressInPopup_ = false;  // the last press was in the popup, not on the button
  bool moved_ = false;
};

}  // namespace vantrel
