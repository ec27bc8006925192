// SPDX-License-Identifier: GPL-3.0-or-later
// The hook that long waits call to keep the calling thread's windows alive.
// A front end installs its own; the default does nothing.
#pragma once

#include <functional>

namespace vantrel {

using MessagePump = std::function<void()>;

// Installs the pump for the calling thread; an empty function restores the no-op.
void SetMessagePump(MessagePump pump);
// Dispatches the pending messages of the calling thread through its installed pump.
void PumpMessages();

}  // namespace vantrel
