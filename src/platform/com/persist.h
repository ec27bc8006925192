// SPDX-License-Identifier: GPL-3.0-or-later
// IPersist: the class id of an object that can be saved. Filters and controls both offer it.
#pragma once

#include "platform/com/unknown.h"

namespace vantrel::com {

inline constexpr IID IID_IPersist = MakeGuid("0000010C-0000-0000-C000-000000000046");

class IPersist : public IUnknown {
 public:
  virtual HRESULT GetClassID(CLSID* clsid) = 0;  // 3
};

}  // namespace vantrel::com
