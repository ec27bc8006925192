// SPDX-License-Identifier: GPL-3.0-or-later
// The running-object table of the process: objects published under a display name, so a
// tool inside the process (a debugger front end, a test) can find a live object by name.
// Names are monikers' display names, e.g. "!FilterGraph 00007F3A5C001230 pid 0000002a".
#pragma once

#include <string>
#include <vector>

#include "platform/com/unknown.h"

namespace vantrel::com {

inline constexpr HRESULT MK_E_UNAVAILABLE = Code(0x800401E3);

// Holds a reference until revoked; the cookie is never 0.
HRESULT RegisterRunningObject(const std::string& displayName, IUnknown* object, DWORD* cookie);
HRESULT RevokeRunningObject(DWORD cookie);
HRESULT GetRunningObject(const std::string& displayName, IUnknown** object);
std::vector<std::string> RunningObjectNames();

}  // namespace vantrel::com
