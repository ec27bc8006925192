// SPDX-License-Identifier: GPL-3.0-or-later
// printf-style formatting into std::string, for the program's "%02d"-style texts.
#pragma once

#include <string>

namespace vantrel {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vantrel
