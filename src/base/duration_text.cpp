// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/duration_text.h"

#include <cmath>
#include <cstdint>

#include "base/text_format.h"

namespace vantrel {

std::string DurationText(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  auto whole = static_cast<std::int64_t>(seconds);
  return Format("%02d:%02d:%02d", int(whole / 3600), int((whole % 3600) / 60), int(whole % 60));
}

}  // namespace vantrel
