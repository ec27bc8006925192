// SPDX-License-Identifier: GPL-3.0-or-later
// What the disc commands share: their common options, the settings of a command with its
// --work folder, and the exit status of a disc job.
#pragma once

#include <string>

#include "cli/terminal_front_end.h"
#include "jobs/job.h"
#include "project/app_settings.h"

namespace vantrel::cli {

// The options both disc commands take: --device LETTER, --work DIR, --yes / --no.
struct DiscOptions {
  std::string device, work;
  Answer answer = Answer::Ask;
};
// Takes argv[i] when it is one of those options, with its value (moving `i` past it).
bool ParseDiscOption(int argc, char** argv, int& i, DiscOptions& options);

// Settings.ini read, with the work folder from `workFolder` when not empty.
AppSettings CommandSettings(const std::string& workFolder);

// 0 done; 128 + the signal after an interrupt; 1 otherwise, with the reason on standard
// error when the job gave one that was not shown already.
int ExitStatusOf(const JobResult& result, int interruptSignal);

}  // namespace vantrel::cli
