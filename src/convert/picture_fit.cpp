// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/picture_fit.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace vantrel {

double OutputDisplayAspect(const EncoderPreset& preset, double sourceAspect) {
  if (!(sourceAspect > 0)) sourceAspect = 4.0 / 3.0;
  switch (preset.family) {
    case FormatFamily::Mpeg1:
    case FormatFamily::Mpeg2:
      return sourceAspect;
    case FormatFamily::Vcd:
      return 4.0 / 3.0;
    case FormatFamily::Svcd:
    case FormatFamily::Dvd:
      if (preset.displayShape == 2) return 4.0 / 3.0;
      if (preset.displayShape == 3) return 16.0 / 9.0;
      // Halfway between the two shapes, measured as a ratio.
      return sourceAspect > std::sqrt(4.0 / 3.0 * 16.0 / 9.0) ? 16.0 / 9.0 : 4.0 / 3.0;
  }
  return 4.0 / 3.0;
}

namespace {

// The span of a picture of `exact` pixels centred in `full`: both bars the same even
// width, so the picture sits in the middle and its chroma samples line up with the luma.
// Returns {offset, length}.
std::pair<int, int> CentredSpan(double exact, int full) {
  int bar = int(std::lround((full - exact) / 4.0)) * 2;
  bar = std::clamp(bar, 0, std::max(0, (full - 2) / 2) & ~1);
  return {bar, full - 2 * bar};
}

}  // namespace

PictureRect FitPicture(double sourceAspect, int frameWidth, int frameHeight, double frameAspect) {
  PictureRect r{0, 0, frameWidth & ~1, frameHeight & ~1};
  if (!(sourceAspect > 0) || !(frameAspect > 0)) return r;
  double ratio = sourceAspect / frameAspect;
  if (std::fabs(ratio - 1.0) < 0.01) return r;  // within 1 %: fill, bars of a pixel or two help nobody
  if (ratio > 1.0) {
    std::tie(r.y, r.height) = CentredSpan(r.height / ratio, r.height);
  } else {
    std::tie(r.x, r.width) = CentredSpan(r.width * ratio, r.width);
  }
  return r;
}

}  // namespace vantrel
