// SPDX-License-Identifier: GPL-3.0-or-later
// The message texts of the library's result codes.
#pragma once

#include <string>

namespace vantrel::foxburner {

// The fixed text of a code; an unknown code gets a text that names it.
std::string ResultText(int code);

}  // namespace vantrel::foxburner
