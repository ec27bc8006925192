#include "convert/picture_fit.h"

#include <algorithm>
#include <cmath>

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
      // Halfway between the two shapes, measured as a ratio.
      return sourceAspect > std::sqrt(4.0 / 3.0 * 16.0 / 9.0) ? 16.0 / 9.0 : 4.0 / 3.0;
  }
  return 4.0 / 3.0;
}

PictureRect FitPicture(double sourceAspect, int frameWidth, int frameHeight, double frameAspect) {
  PictureRect r{0, 0, frameWidth & ~1, frameHeight & ~1};
  if (!(sourceAspect > 0) || !(frameAspect > 0)) return r;
  double ratio = sourceAspect / frameAspect;
  if (std::fabs(ratio - 1.0) < 0.01) return r;  // within 1 %: fill, bars of a pixel or two help nobody
  if (ratio > 1.0) {
    r.height = std::max(2, int(std::lround(frameHeight / ratio)) & ~1);
    r.y = ((frameHeight - r.height) / 2) & ~1;
  } else {
    r.width = std::max(2, int(std::lround(frameWidth * ratio)) & ~1);
    r.x = ((frameWidth - r.width) / 2) & ~1;
  }
  return r;
}

}  // namespace vantrel
