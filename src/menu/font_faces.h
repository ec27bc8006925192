// SPDX-License-Identifier: GPL-3.0-or-later
// The installed scalable font faces (TrueType and CFF outlines) the font lists of the text
// dialog offer, by family name.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Family names, sorted and without repeats.
std::vector<std::string> InstalledScalableFaces();

}  // namespace vantrel
