// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/text_encoding.h"

#include <iconv.h>
#include <uchardet/uchardet.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace vantrel {
namespace {

bool StartsWith(const std::string& bytes, const char* prefix, size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

bool IsValidUtf8(const std::string& bytes) {
  size_t i = 0;
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  while (i < bytes.size()) {
    const unsigned char c = s[i];
    int follow = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    if (follow < 0 || (follow == 1 && c < 0xC2)) return false;
    if (i + follow >= bytes.size()) return false;
    for (int k = 1; k <= follow; ++k)
      if ((s[i + k] & 0xC0) != 0x80) return false;
    i += follow + 1;
  }
  return true;
}

// UTF-16 without a byte order mark: one byte of nearly every pair is zero in the Latin
// text (numbers, arrows, times) that every subtitle file has plenty of.
std::string GuessBomlessUtf16(const std::string& bytes) {
  if (bytes.size() < 16 || bytes.size() % 2) return "";
  size_t evenZero = 0, oddZero = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    evenZero += bytes[i] == 0;
    oddZero += bytes[i + 1] == 0;
  }
  const size_t pairs = bytes.size() / 2;
  if (oddZero * 10 > pairs * 4 && evenZero * 10 < pairs) return "UTF-16LE";
  if (evenZero * 10 > pairs * 4 && oddZero * 10 < pairs) return "UTF-16BE";
  return "";
}

// uchardet names a few encodings in ways iconv does not take, or too narrowly: text it
// calls GB2312 may hold any GB18030 character.
std::string IconvName(std::string name) {
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (name == "GB2312" || name == "GBK" || name == "HZ-GB-2312") return "GB18030";
  if (name == "BIG5") return "BIG5-HKSCS";
  if (name == "ASCII") return "UTF-8";
  if (name.rfind("WINDOWS-", 0) == 0) return "CP" + name.substr(8);
  return name;
}

}  // namespace

std::string DetectTextEncoding(const std::string& bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) return "UTF-8";
  if (StartsWith(bytes, "\xFF\xFE", 2)) return "UTF-16LE";
  if (StartsWith(bytes, "\xFE\xFF", 2)) return "UTF-16BE";
  if (IsValidUtf8(bytes)) return "UTF-8";
  if (std::string utf16 = GuessBomlessUtf16(bytes); !utf16.empty()) return utf16;

  std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(uchardet_new(),
                                                                                  uchardet_delete);
  if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) return "";
  uchardet_data_end(detector.get());
  const char* name = uchardet_get_charset(detector.get());
  return name && *name ? IconvName(name) : "";
}

bool ConvertToUtf8(const std::string& bytes, const std::string& encoding, std::string* out,
                   std::string* error) {
  iconv_t cd = iconv_open("UTF-8", encoding.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    *error = "unknown character encoding " + encoding;
    return false;
  }
  out->clear();
  std::string input = bytes;
  char* in = input.data();
  size_t inLeft = input.size();
  char buffer[8192];
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out->append(buffer, outPtr - buffer);
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      *error = "the text is not valid " + encoding + " at byte " + std::to_string(input.size() - inLeft);
      ok = false;
      break;
    }
  }
  iconv_close(cd);
  return ok;
}

DecodedText DecodeSubtitleText(const std::string& bytes, const std::string& overrideEncoding) {
  DecodedText result;
  result.encoding = overrideEncoding.empty() ? DetectTextEncoding(bytes) : overrideEncoding;
  if (result.encoding.empty()) {
    result.error = "the character encoding cannot be recognised; name it";
    return result;
  }
  std::string body = bytes;
  // A byte order mark is not text; iconv keeps the UTF-8 one, so it goes here.
  if (StartsWith(body, "\xEF\xBB\xBF", 3)) body.erase(0, 3);
  if (!ConvertToUtf8(body, result.encoding, &result.text, &result.error)) return result;
  if (result.text.rfind("\xEF\xBB\xBF", 0) == 0) result.text.erase(0, 3);
  result.ok = true;
  return result;
}

}  // namespace vantrel
