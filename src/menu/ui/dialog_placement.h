// SPDX-License-Identifier: GPL-3.0-or-later
// Where the designer's own dialogs open: beside the designer, so that its preview, which
// they change as the user works in them, stays in sight.
#pragma once

#include <wx/gdicmn.h>

class wxWindow;

namespace vantrel {

// The top-left corner for a window of `size` next to `owner` (both in screen coordinates)
// inside `screen`: right of it, else left, else below, else above, each `gap` pixels away
// and kept inside the screen along the other axis. Centred on the owner when no side has room.
wxPoint PlaceBeside(const wxRect& owner, const wxSize& size, const wxRect& screen, int gap = 8);

// Moves the dialog beside its parent on the parent's display.
void PlaceBesideParent(wxWindow* dialog);

}  // namespace vantrel
