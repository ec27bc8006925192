// SPDX-License-Identifier: GPL-3.0-or-later
// The "%02d:%02d:%02d" duration text shown in the title list.
#pragma once

#include <string>

namespace vantrel {

// Hours, minutes and seconds of the whole seconds of `seconds` (fraction dropped).
std::string DurationText(double seconds);

}  // namespace vantrel
