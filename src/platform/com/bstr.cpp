// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com/bstr.h"

#include <cstdlib>
#include <cstring>

#include "base/utf.h"

namespace vantrel::com {

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  auto* block = static_cast<char*>(std::malloc(sizeof(std::uint32_t) + (size_t(length) + 1) * 2));
  if (!block) return nullptr;
  std::uint32_t bytes = length * 2;
  std::memcpy(block, &bytes, sizeof bytes);
  auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof bytes);
  if (text) std::memcpy(chars, text, size_t(length) * 2);
  else std::memset(chars, 0, size_t(length) * 2);
  chars[length] = 0;
  return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  UINT length = 0;
  while (text[length]) ++length;
  return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<char*>(text) - sizeof(std::uint32_t));
}

UINT SysStringByteLen(BSTR text) {
  if (!text) return 0;
  std::uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<char*>(text) - sizeof bytes, sizeof bytes);
  return bytes;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / 2; }

BSTR BstrFromUtf8(const std::string& text) {
  std::u16string wide = Utf8ToUtf16(text);
  return SysAllocStringLen(wide.data(), UINT(wide.size()));
}

std::string Utf8FromBstr(const OLECHAR* text) {
  if (!text) return {};
  return Utf16ToUtf8(std::u16string(text));
}

std::u16string U16FromBstr(BSTR text) {
  if (!text) return {};
  return std::u16string(text, SysStringLen(text));
}

}  // namespace vantrel::com

#include "platform/com/memory.h"

namespace vantrel::com {

void* CoTaskMemAlloc(size_t bytes) { return std::malloc(bytes ? bytes : 1); }
void CoTaskMemFree(void* block) { std::free(block); }

}  // namespace vantrel::com
