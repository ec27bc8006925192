// SPDX-License-Identifier: GPL-3.0-or-later
// Texts between the program (UTF-8) and wx, for the menu and burn dialogs. Every text a
// window shows reaches wx through U(), which also puts it into the user's language: the
// program's own texts are looked up in the catalogue, anything else (file names, the
// user's texts) is not in it and passes unchanged. A narrow literal would be read in the
// process's character locale and come out empty under the C locale.
#pragma once

#include <wx/string.h>

#include <string>

#include "base/translation.h"

namespace vantrel {

inline wxString U(const char* text) { return wxString::FromUTF8(Tr(text)); }
inline wxString U(const std::string& text) {
  const std::string shown = Tr(text);
  return wxString::FromUTF8(shown.data(), shown.size());
}
// A text as it is, never looked up (markup, addresses).
inline wxString Plain(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }

}  // namespace vantrel
