// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the main window's buttons, drawn at run time at the size asked for, by
// the bitmap resource number the window's table gives each button.
#pragma once

#include <wx/bitmap.h>

namespace vantrel::app {

wxBitmap ButtonBitmap(int resource, int size);
// The program's icon (resource 128) at the size asked for.
wxBitmap ProgramIcon(int size);

}  // namespace vantrel::app
