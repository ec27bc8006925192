// SPDX-License-Identifier: GPL-3.0-or-later
// The interfaces of the counter module, a component built as its own shared library for
// the runtime tests: the test program knows only these declarations and the class id.
#pragma once

#include "platform/com/unknown.h"

namespace vantrel::test {

inline constexpr com::CLSID CLSID_Counter = com::MakeGuid("6A1F1D52-0C1E-4C39-9D2B-4E0A8C3B7F11");
inline constexpr com::IID IID_ICounter = com::MakeGuid("6A1F1D53-0C1E-4C39-9D2B-4E0A8C3B7F11");
inline constexpr com::IID IID_ICounterEvents =
    com::MakeGuid("6A1F1D54-0C1E-4C39-9D2B-4E0A8C3B7F11");
inline constexpr const char* kCounterProgId = "VantrelTest.Counter";

class ICounter : public com::IUnknown {
 public:
  virtual com::HRESULT Add(com::LONG amount) = 0;     // 3: fires Changed with the new total
  virtual com::HRESULT Total(com::LONG* total) = 0;  // 4
  virtual com::HRESULT Name(com::BSTR* name) = 0;    // 5: a BSTR made inside the module
};

class ICounterEvents : public com::IUnknown {
 public:
  virtual com::HRESULT Changed(com::LONG total) = 0;  // 3
};

}  // namespace vantrel::test
