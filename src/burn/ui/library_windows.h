// SPDX-License-Identifier: GPL-3.0-or-later
// The disc-writing library's own writing and erasing windows in wx: the prepared write or
// the erase runs in the library while a modal window shows the drive, the medium, a
// progress bar, Cancel, and the final message.
#pragma once

#include <string>

class wxWindow;

namespace vantrel {

// BurnDialog(1, 1, title, "") with its window; the library's result.
int RunLibraryBurnWindow(wxWindow* parent, const std::string& title, const std::string& drive);
// EraseDialog(title) with its window; the library's result.
int RunLibraryEraseWindow(wxWindow* parent, const std::string& title, const std::string& drive);

}  // namespace vantrel
