// The authoring run's steps wired to the subsystems that do them; every front end runs
// the same wiring.
#pragma once

#include "authoring/authoring_driver.h"

namespace vantrel {

AuthoringSteps DefaultAuthoringSteps();

}  // namespace vantrel
