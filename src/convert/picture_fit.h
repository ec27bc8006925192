// SPDX-License-Identifier: GPL-3.0-or-later
// Where a source picture goes inside the output frame so that its shape is kept:
// black bars above and below a picture wider than the frame (letterbox), left and right of
// a narrower one (pillarbox). Never stretched.
#pragma once

#include "convert/encoder_preset.h"

namespace vantrel {

struct PictureRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PictureRect&) const = default;
};

// The display shape the output frame is flagged with: 16:9 for wide sources on DVD and
// SVCD, 4:3 otherwise; the plain families keep the source's own shape.
double OutputDisplayAspect(const EncoderPreset& preset, double sourceAspect);

// The picture area inside a frameWidth x frameHeight frame shown at frameAspect.
// Offsets and sizes are even so that 4:2:0 chroma lines up with the luma.
PictureRect FitPicture(double sourceAspect, int frameWidth, int frameHeight, double frameAspect);

}  // namespace vantrel
