// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/wx_colour.h"

namespace vantrel {

wxColour ToWx(Colour colour) {
  return wxColour(ColourRed(colour), ColourGreen(colour), ColourBlue(colour));
}

Colour FromWx(const wxColour& colour) {
  return MakeColour(colour.Red(), colour.Green(), colour.Blue());
}

}  // namespace vantrel
