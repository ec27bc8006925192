// SPDX-License-Identifier: GPL-3.0-or-later
// Texts between the program (UTF-8) and wx, for the menu and burn dialogs. Every Chinese
// text reaches wx through U(): a narrow literal would be read in the process's character
// locale and come out empty under the C locale.
#pragma once

#include <wx/string.h>

#include <string>

namespace vantrel {

inline wxString U(const char* text) { return wxString::FromUTF8(text); }
inline wxString U(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }

}  // namespace vantrel
