// SPDX-License-Identifier: GPL-3.0-or-later
// The designer's dialogs open beside it on the screen, never over its preview when a side
// has room.
#include <gtest/gtest.h>

#include "menu/ui/dialog_placement.h"

namespace vantrel {
namespace {

const wxRect kScreen(0, 0, 1280, 1024);

TEST(DialogPlacement, RightThenLeftThenBelowThenAboveThenCentred) {
  const wxRect designer(390, 356, 501, 312);
  // Room on the right.
  EXPECT_EQ(PlaceBeside(designer, wxSize(300, 200), kScreen), wxPoint(899, 356));
  // Too wide for either side (389 pixels each): below, its left edge kept on the screen.
  EXPECT_EQ(PlaceBeside(designer, wxSize(522, 310), kScreen), wxPoint(390, 676));
  // Only the left has room.
  EXPECT_EQ(PlaceBeside(wxRect(900, 100, 300, 200), wxSize(400, 200), kScreen), wxPoint(492, 100));
  // Only above.
  EXPECT_EQ(PlaceBeside(wxRect(100, 800, 1100, 200), wxSize(600, 300), kScreen), wxPoint(100, 492));
  // Nowhere: centred on the designer, as before.
  EXPECT_EQ(PlaceBeside(wxRect(0, 0, 1280, 1024), wxSize(400, 200), kScreen), wxPoint(440, 412));
}

TEST(DialogPlacement, ABesideDialogStaysOnTheScreen) {
  // The designer sits low: the dialog on its right moves up to end at the screen's bottom.
  const wxPoint at = PlaceBeside(wxRect(100, 900, 400, 100), wxSize(300, 400), kScreen);
  EXPECT_EQ(at, wxPoint(508, 624));
  // A wide dialog below a designer near the right edge is pulled left onto the screen.
  EXPECT_EQ(PlaceBeside(wxRect(600, 0, 680, 300), wxSize(700, 300), kScreen), wxPoint(580, 308));
}

}  // namespace
}  // namespace vantrel
