// SPDX-License-Identifier: GPL-3.0-or-later
// BSTR: UTF-16 text preceded by its byte length (32-bit) and followed by a 0. Allocation
// and free live in the runtime library, so a string made in one module can be freed in
// another.
#pragma once

#include <string>

#include "platform/com/types.h"

namespace vantrel::com {

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// Conversions at the boundary; a null BSTR is the empty text.
BSTR BstrFromUtf8(const std::string& text);
std::string Utf8FromBstr(const OLECHAR* text);
std::u16string U16FromBstr(BSTR text);

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::string& utf8) : b_(BstrFromUtf8(utf8)) {}
  Bstr(const Bstr& o) : b_(o.b_ ? SysAllocStringLen(o.b_, SysStringLen(o.b_)) : nullptr) {}
  Bstr(Bstr&& o) noexcept : b_(o.b_) { o.b_ = nullptr; }
  Bstr& operator=(Bstr o) noexcept { std::swap(b_, o.b_); return *this; }
  ~Bstr() { SysFreeString(b_); }
  static Bstr Attach(BSTR b) { Bstr s; s.b_ = b; return s; }
  BSTR Get() const { return b_; }
  BSTR* Put() { SysFreeString(b_); b_ = nullptr; return &b_; }
  BSTR Detach() { BSTR b = b_; b_ = nullptr; return b; }
  std::string Utf8() const { return Utf8FromBstr(b_); }

 private:
  BSTR b_ = nullptr;
};

}  // namespace vantrel::com
