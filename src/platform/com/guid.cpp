// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com/guid.h"

#include <cctype>
#include <cstdio>

namespace vantrel::com {

std::optional<GUID> ParseGuid(const std::string& text) {
  std::string t = text;
  if (t.size() == 38 && t.front() == '{' && t.back() == '}') t = t.substr(1, 36);
  if (t.size() != 36) return std::nullopt;
  for (size_t i = 0; i < t.size(); ++i) {
    bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? t[i] != '-' : !std::isxdigit(static_cast<unsigned char>(t[i]))) return std::nullopt;
  }
  auto field = [&](size_t from, size_t count) {
    return std::stoull(t.substr(from, count), nullptr, 16);
  };
  GUID g;
  g.Data1 = std::uint32_t(field(0, 8));
  g.Data2 = std::uint16_t(field(9, 4));
  g.Data3 = std::uint16_t(field(14, 4));
  g.Data4[0] = std::uint8_t(field(19, 2));
  g.Data4[1] = std::uint8_t(field(21, 2));
  for (size_t i = 0; i < 6; ++i) g.Data4[2 + i] = std::uint8_t(field(24 + 2 * i, 2));
  return g;
}

std::string GuidToString(const GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1,
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

}  // namespace vantrel::com
