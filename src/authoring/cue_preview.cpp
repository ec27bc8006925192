// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/cue_preview.h"

#include <algorithm>
#include <vector>

#include "convert/clip_frames.h"
#include "subtitles/picture_subtitles.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_muxer.h"

namespace vantrel {

void PaintSubpicture(const SubpictureBitmap& bitmap, RgbImage* picture) {
  for (int y = std::max(0, bitmap.y); y < std::min(picture->height, bitmap.y + bitmap.height); ++y) {
    std::uint8_t* row = picture->Row(y);
    for (int x = std::max(0, bitmap.x); x < std::min(picture->width, bitmap.x + bitmap.width); ++x) {
      const std::uint8_t index = bitmap.At(x, y);
      if (index == kTransparent) continue;
      const std::uint32_t colour = bitmap.palette[index & 3];
      row[x * 3] = std::uint8_t(colour >> 16);
      row[x * 3 + 1] = std::uint8_t(colour >> 8);
      row[x * 3 + 2] = std::uint8_t(colour);
    }
  }
}

namespace {

// The title's picture at `moment`, at the disc's picture size.
bool FrameAt(const CuePreviewInputs& inputs, std::int64_t moment, RgbImage* picture, std::string* error) {
  const SubpictureGeometry geometry = SubpictureGeometry::Of(inputs.standard, inputs.wide);
  ClipFrames frames;
  if (!frames.Open(inputs.source, double(moment) / 1000, geometry.width, geometry.height, *error)) return false;
  const RgbImage* frame = frames.At(0, *error);
  if (!frame) return false;
  *picture = *frame;
  return true;
}

}  // namespace

bool RenderCuePreview(const TextSubtitles& track, size_t cue, const CuePreviewInputs& inputs, RgbImage* picture,
                      std::string* error) {
  if (cue >= track.cues.size()) return *error = "the track has no cue " + std::to_string(cue + 1), false;
  const SubpictureGeometry geometry = SubpictureGeometry::Of(inputs.standard, inputs.wide);
  const std::int64_t moment = (track.cues[cue].startMs + track.cues[cue].endMs) / 2;
  if (!FrameAt(inputs, moment, picture, error)) return false;

  // Drawn as the run draws the whole track, its palette fitted as the stream's is.
  const SubtitleStyle style;
  SubpictureRenderer renderer(geometry, style);
  if (!renderer.Load(track, error)) return false;
  std::vector<Subpicture> shown{{moment, moment + 1, renderer.RenderAt(moment)}};
  if (shown[0].bitmap.Empty()) return true;  // the cue draws nothing visible (blank text)
  FitStreamPalette(&shown, style);
  PaintSubpicture(shown[0].bitmap, picture);
  return true;
}

bool ReadPictureTrack(const std::string& file, int stream, TvStandard standard, bool wide,
                      std::vector<Subpicture>* pictures, std::string* error) {
  if (!ReadPictureSubtitles(file, stream, SubpictureGeometry::Of(standard, wide), pictures, error)) return false;
  // The stream's colours are fitted over all its pictures, so a cue shows in the colours it
  // has among the others.
  FitStreamPalette(pictures, SubtitleStyle{});
  return true;
}

bool RenderPictureCuePreview(const std::vector<Subpicture>& pictures, size_t cue, const CuePreviewInputs& inputs,
                             RgbImage* picture, std::string* error) {
  if (cue >= pictures.size()) return *error = "the track has no picture " + std::to_string(cue + 1), false;
  const Subpicture& shown = pictures[cue];
  if (!FrameAt(inputs, (shown.startMs + shown.endMs) / 2, picture, error)) return false;
  PaintSubpicture(shown.bitmap, picture);
  return true;
}

}  // namespace vantrel
