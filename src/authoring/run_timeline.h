// SPDX-License-Identifier: GPL-3.0-or-later
// The run's timeline for whoever looks into where its time goes: each step and each task
// notes when it starts and ends, as debug lines of the log sink ("timeline 1.234 title 2
// start 1 cores (resident 61234 KiB)"), seconds from the first mark of the process, with
// the process's memory then. `vantrel-author -v` shows them; bench/run_timeline.sh draws
// them.
#pragma once

#include <string>

namespace vantrel {

void TimelineMark(const std::string& what);

}  // namespace vantrel
