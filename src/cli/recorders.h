// What the disc commands share: the settings of a command with its --work folder, and
// the exit status of a disc job.
#pragma once

#include <string>

#include "jobs/job.h"
#include "project/app_settings.h"

namespace vantrel::cli {

// Settings.ini read, with the work folder from `workFolder` when not empty.
AppSettings CommandSettings(const std::string& workFolder);

// 0 done; 128 + the signal after an interrupt; 1 otherwise, with the reason on standard
// error when the job gave one that was not shown already.
int ExitStatusOf(const JobResult& result, int interruptSignal);

}  // namespace vantrel::cli
