// SPDX-License-Identifier: GPL-3.0-or-later
// Track languages: the DVD takes two-letter ISO 639-1 codes; containers tag their streams
// with three-letter ISO 639-2 ones.
#pragma once

#include <string>

namespace vantrel {

// "en", "zh", ...: two lowercase letters.
bool IsDvdLanguageCode(const std::string& code);
// The DVD's code of a container's tag ("chi", "zho", "eng", "en", "ENG"); "" for an
// unknown or missing one.
std::string DvdLanguageOf(const std::string& tag);

}  // namespace vantrel
