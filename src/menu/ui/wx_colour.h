// SPDX-License-Identifier: GPL-3.0-or-later
// Menu colours (0x00BBGGRR) to and from wx colours.
#pragma once

#include <wx/colour.h>

#include "menu/menu_appearance.h"

namespace vantrel {

wxColour ToWx(Colour colour);
Colour FromWx(const wxColour& colour);

}  // namespace vantrel
