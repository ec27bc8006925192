// SPDX-License-Identifier: GPL-3.0-or-later
// Texts between the program (UTF-8 std::string) and wx. Every text a window shows reaches
// wx through U(), which also puts it into the user's language: the program's own texts
// (its Chinese originals, literal or handed over by the core) are looked up in the
// catalogue; anything else (file names, the user's own texts, a text the core already
// translated) is not in it and passes unchanged. A narrow literal given to wx directly
// would be read in the C locale and come out empty.
#pragma once

#include <string>

#include <wx/string.h>

#include "base/translation.h"

namespace vantrel::app {

inline wxString U(const std::string& text) {
  const std::string shown = Tr(text);
  return wxString::FromUTF8(shown.data(), shown.size());
}
inline wxString U(const char* text) { return wxString::FromUTF8(Tr(text)); }
// A text as it is, never looked up (markup, addresses).
inline wxString Plain(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }
inline std::string S(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

}  // namespace vantrel::app
