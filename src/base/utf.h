// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 <-> UTF-16 conversion for the component boundary (BSTRs are UTF-16).
#pragma once

#include <string>

namespace vantrel {

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
// The longest prefix of `text` of at most `maxBytes` bytes that ends on a character boundary.
std::string Utf8Prefix(const std::string& text, size_t maxBytes);

}  // namespace vantrel
