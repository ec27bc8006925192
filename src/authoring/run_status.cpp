// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/run_status.h"

#include "base/log.h"

namespace vantrel {

void RunQuestion::ShowMessage(const std::string& text) { LogWarning(text); }

}  // namespace vantrel
