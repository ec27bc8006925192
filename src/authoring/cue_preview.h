// SPDX-License-Identifier: GPL-3.0-or-later
// A subtitle cue as the disc will show it: the title's picture at the cue's moment, at the
// disc's picture size, with the cue drawn by the same renderer and palette the run uses.
#pragma once

#include <cstdint>
#include <string>

#include "base/rgb_image.h"
#include "base/tv_standard.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/text_subtitles.h"

namespace vantrel {

struct CuePreviewInputs {
  std::string source;  // the title's file: the picture under the cue
  TvStandard standard = TvStandard::Pal;
  bool wide = false;   // the title's pictures are 16:9
};

// The picture for `track`'s cue `cue` (its middle moment): 720 x 576 or 720 x 480 stored
// pixels, to be shown at the title's shape. False with the reason when the title's picture
// or the cue cannot be drawn.
bool RenderCuePreview(const TextSubtitles& track, size_t cue, const CuePreviewInputs& inputs, RgbImage* picture,
                      std::string* error);

// Paints the subpicture's visible pixels over `picture` (its size the subpicture's frame).
void PaintSubpicture(const SubpictureBitmap& bitmap, RgbImage* picture);

}  // namespace vantrel
