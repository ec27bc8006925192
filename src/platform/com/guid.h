// SPDX-License-Identifier: GPL-3.0-or-later
// Class and interface ids, printed and parsed in the registry's form
// "{E436EBB3-524F-11CE-9F53-0020AF0BA770}".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::com {

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};
  bool operator==(const GUID&) const = default;
  auto operator<=>(const GUID&) const = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID&;
using REFCLSID = const GUID&;
using REFGUID = const GUID&;

inline constexpr GUID GUID_NULL{};

// Accepts the braces form and the bare 36-character form, in any letter case.
std::optional<GUID> ParseGuid(const std::string& text);
// Upper-case hex, with braces.
std::string GuidToString(const GUID& guid);

// For constants: MakeGuid("E436EBB3-524F-11CE-9F53-0020AF0BA770"), checked at compile time.
consteval GUID MakeGuid(const char (&t)[37]) {
  auto hex = [](char c) -> unsigned {
    if (c >= '0' && c <= '9') return unsigned(c - '0');
    if (c >= 'a' && c <= 'f') return unsigned(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return unsigned(c - 'A' + 10);
    throw "not a hex digit";
  };
  auto field = [&](int from, int count) {
    std::uint64_t v = 0;
    for (int i = 0; i < count; ++i) v = v * 16 + hex(t[from + i]);
    return v;
  };
  if (t[8] != '-' || t[13] != '-' || t[18] != '-' || t[23] != '-') throw "bad guid";
  GUID g;
  g.Data1 = std::uint32_t(field(0, 8));
  g.Data2 = std::uint16_t(field(9, 4));
  g.Data3 = std::uint16_t(field(14, 4));
  g.Data4[0] = std::uint8_t(field(19, 2));
  g.Data4[1] = std::uint8_t(field(21, 2));
  for (int i = 0; i < 6; ++i) g.Data4[2 + i] = std::uint8_t(field(24 + 2 * i, 2));
  return g;
}

}  // namespace vantrel::com
