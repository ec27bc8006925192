#include "authoring/default_steps.h"

namespace vantrel {

AuthoringSteps DefaultAuthoringSteps() {
  AuthoringSteps steps;
  return steps;
}

}  // namespace vantrel
