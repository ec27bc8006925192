// SPDX-License-Identifier: GPL-3.0-or-later
// Subtitle text files come in every legacy code page; this finds a file's character
// encoding (byte order mark, then UTF-8, then uchardet's guess) and converts it to UTF-8.
#pragma once

#include <string>

namespace vantrel {

struct DecodedText {
  bool ok = false;
  std::string text;      // UTF-8, without a byte order mark
  std::string encoding;  // the encoding read, as iconv names it ("UTF-8", "GB18030", ...)
  std::string error;     // why the text could not be read
};

// `overrideEncoding` (an iconv name, e.g. "CP1251") wins over detection when not empty.
// Bytes that are not valid in the encoding fail the conversion rather than becoming
// garbage silently.
DecodedText DecodeSubtitleText(const std::string& bytes, const std::string& overrideEncoding = "");

// The encoding detection alone: "" when nothing fits.
std::string DetectTextEncoding(const std::string& bytes);

// Converts with iconv; false (with the reason) on an unknown encoding or invalid bytes.
bool ConvertToUtf8(const std::string& bytes, const std::string& encoding, std::string* out,
                   std::string* error);

}  // namespace vantrel
