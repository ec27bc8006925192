// SPDX-License-Identifier: GPL-3.0-or-later
// The control's saved state: only its extent, as the properties `_cx` and `_cy` (VT_UI4,
// HIMETRIC). A stream holds a version word, then per property its type and value, all
// little-endian, so a host can keep it in its own files.
#pragma once

#include "platform/com/ole_interfaces.h"

namespace vantrel::encorva {

using namespace com;

// Bytes SaveExtent writes.
ULONG ExtentStateSize();

HRESULT SaveExtent(IStream* stream, const SIZEL& extent);

// Reads everything before it changes `extent`: a short stream (STG_E_READFAULT) or one
// that is not our state (E_FAIL) leaves it as it was.
HRESULT LoadExtent(IStream* stream, SIZEL* extent);

}  // namespace vantrel::encorva
