// SPDX-License-Identifier: GPL-3.0-or-later
// The lists the track pages of the properties sheet choose from: the languages a DVD track
// may declare (ISO 639-1 codes with their names) and the character encodings a subtitle
// file may be read in instead of the detected one.
#pragma once

#include <string>
#include <vector>

#include "base/translation.h"

namespace vantrel::app {

struct LanguageChoice {
  const char* code;  // "" unspecified
  const char* name;  // for the catalogue
};

// The choices in the order shown: unspecified first.
const std::vector<LanguageChoice>& LanguageChoices();
// The index of `code` (a two-letter code, or a container's three-letter tag) in
// LanguageChoices(); 0 (unspecified) for an unknown one.
size_t LanguageChoiceIndex(const std::string& code);
// "zh 中文" in the user's language; the code alone for a code not in the list.
std::string LanguageLabel(const std::string& code);

// The encodings offered beside detection, as iconv names them.
const std::vector<std::string>& EncodingChoices();

}  // namespace vantrel::app
