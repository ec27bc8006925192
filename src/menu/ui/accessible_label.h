// SPDX-License-Identifier: GPL-3.0-or-later
// Gives a control without a text of its own (a colour button, a drawn list) a name that
// screen readers and the accessibility tree show.
#pragma once

#include <wx/window.h>

#include <string>

namespace vantrel {

void SetAccessibleLabel(wxWindow* window, const std::string& name);

}  // namespace vantrel
