// SPDX-License-Identifier: GPL-3.0-or-later
// Escaping text for XML attribute values and element content.
#pragma once

#include <string>

namespace vantrel {

// & < > " ' become entities; everything else, UTF-8 included, passes unchanged.
std::string XmlEscape(const std::string& text);

}  // namespace vantrel
