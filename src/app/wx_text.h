// SPDX-License-Identifier: GPL-3.0-or-later
// Texts between the program (UTF-8 std::string) and wx. Every Chinese text reaches wx
// through these: a narrow literal would be read in the C locale and come out empty.
#pragma once

#include <string>

#include <wx/string.h>

namespace vantrel::app {

inline wxString U(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }
inline wxString U(const char* text) { return wxString::FromUTF8(text); }
inline std::string S(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

}  // namespace vantrel::app
