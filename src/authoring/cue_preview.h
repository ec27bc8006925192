// SPDX-License-Identifier: GPL-3.0-or-later
// A subtitle cue as the disc will show it: the title's picture at the cue's moment, at the
// disc's picture size, with the cue drawn by the same renderer and palette the run uses (a
// text cue), or decoded and brought to the subpicture's colours as the run does (a picture).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// A picture subtitle stream (DVD or PGS subtitles) of `file` as the run brings it onto the
// disc: its pictures at the disc's picture size, timed from the file's start, in the colours
// its subpicture stream gets. False with the reason when the stream cannot be read.
bool ReadPictureTrack(const std::string& file, int stream, TvStandard standard, bool wide,
                      std::vector<Subpicture>* pictures, std::string* error);

// The picture for picture `cue` of such a track (its middle moment), drawn as
// RenderCuePreview draws a text cue.
bool RenderPictureCuePreview(const std::vector<Subpicture>& pictures, size_t cue, const CuePreviewInputs& inputs,
                             RgbImage* picture, std::string* error);

// Paints the subpicture's visible pixels over `picture` (its size the subpicture's frame).
void PaintSubpicture(const SubpictureBitmap& bitmap, RgbImage* picture);

}  // namespace vantrel
