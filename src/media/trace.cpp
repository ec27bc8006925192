#include "media/trace.h"

namespace vantrel {

void TraceHook(const std::string&, const std::string&) {}

}  // namespace vantrel
