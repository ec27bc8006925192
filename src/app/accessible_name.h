// SPDX-License-Identifier: GPL-3.0-or-later
// Names for the screen reader (and GUI test drivers) of controls that show no caption,
// such as the picture-only buttons.
#pragma once

#include <string>

class wxWindow;

namespace vantrel::app {

// The name is shown in the user's language, as captions are.
void SetAccessibleName(wxWindow* window, const std::string& name);

}  // namespace vantrel::app
