// SPDX-License-Identifier: GPL-3.0-or-later
// The authoring run's steps wired to the subsystems that do them; every front end runs
// the same wiring.
#pragma once

#include "authoring/authoring_driver.h"

namespace vantrel {

class RunQuestion;
class RunStatus;

// Steps that report to `status` and ask `question` (both outlive the steps).
AuthoringSteps DefaultAuthoringSteps(RunStatus& status, RunQuestion& question);

}  // namespace vantrel
