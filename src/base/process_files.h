// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch files named after the process that made them ("STEM-PID..."): two programs
// never share one, and the ones of processes that have ended are left-overs nobody reads.
#pragma once

#include <string>

namespace vantrel {

// True when no process `pid` exists any more.
bool ProcessHasEnded(unsigned long pid);

// Removes this user's regular files in `folder` named `prefix` + PID + anything that does
// not go on with a digit, whose process PID has ended. Other files are left alone.
void RemoveFilesOfEndedProcesses(const std::string& folder, const std::string& prefix);

}  // namespace vantrel
