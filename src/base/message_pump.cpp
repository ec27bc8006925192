// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/message_pump.h"

namespace vantrel {
namespace {
thread_local MessagePump tPump;
}

void SetMessagePump(MessagePump pump) { tPump = std::move(pump); }

void PumpMessages() {
  if (tPump) tPump();
}

}  // namespace vantrel
