// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/title_record.h"

#include <cmath>

#include "base/text_format.h"

namespace vantrel {

std::string FrameRateText(float framesPerSecond) {
  double r = framesPerSecond;
  if (std::fabs(r - 29.97) < 0.01) return Format("NTSC(%0.2ffps)", r);
  if (std::fabs(r - 25) < 0.01) return Format("PAL(%0.2ffps)", r);
  return Format("%0.2ffps", r);
}

std::string ResolutionText(int width, int height) { return Format("%dx%d", width, height); }

}  // namespace vantrel
