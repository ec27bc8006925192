// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/cue_preview.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "convert/clip_frames.h"
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

bool RenderFramePreview(const CuePreviewInputs& inputs, std::int64_t sourceMs, const SubpictureBitmap* shown,
                        RgbImage* picture, std::string* error) {
  SubpictureGeometry geometry = SubpictureGeometry::Of(inputs.standard, inputs.wide);
  geometry.picture = inputs.film;
  const SafeArea film = geometry.PictureArea();
  ClipFrames frames;
  if (!frames.Open(inputs.source, double(sourceMs) / 1000, film.width, film.height, *error)) return false;
  const RgbImage* frame = frames.At(0, *error);
  if (!frame) return false;
  if (film.width == geometry.width && film.height == geometry.height) {
    *picture = *frame;
  } else {
    // The encoder's bars are black.
    picture->width = geometry.width;
    picture->height = geometry.height;
    picture->pixels.assign(size_t(geometry.width) * size_t(geometry.height) * 3, 0);
    for (int y = 0; y < film.height; ++y)
      std::copy_n(frame->Row(y), size_t(film.width) * 3, picture->Row(film.y + y) + film.x * 3);
  }
  if (shown && !shown->Empty()) PaintSubpicture(*shown, picture);
  return true;
}

TitleCuePreview::TitleCuePreview(const TitleSubtitleInputs& inputs) : inputs_(inputs), drawer_(inputs) {}

std::int64_t TitleCuePreview::PicturesFromMs() const { return std::llround(inputs_.picturesFrom * 1000); }

const std::vector<Subpicture>* TitleCuePreview::Track(const SubtitleTrack& track, std::string* error) {
  // Language and the default mark do not change what is drawn.
  auto same = [&](const Drawn& d) {
    return d.track.source == track.source && d.track.stream == track.stream && d.track.encoding == track.encoding;
  };
  auto found = std::find_if(drawn_.begin(), drawn_.end(), same);
  if (found == drawn_.end()) {
    Drawn& d = drawn_.emplace_back();
    d.track = track;
    std::string tag;
    d.ok = drawer_.Draw(track, &d.pictures, &tag, &d.error);
    found = drawn_.end() - 1;
  }
  if (!found->ok) return *error = found->error, nullptr;
  return &found->pictures;
}

bool TitleCuePreview::ShownAt(const std::vector<SubtitleTrack>& tracks, size_t row, std::int64_t titleMs,
                              SubpictureBitmap* shown, std::string* error) {
  *shown = {};
  if (row >= tracks.size()) return *error = "no such track", false;
  const std::vector<Subpicture>* own = Track(tracks[row], error);
  if (!own) return false;
  const auto at = std::find_if(own->begin(), own->end(),
                               [&](const Subpicture& p) { return p.startMs <= titleMs && titleMs < p.endMs; });
  if (at == own->end()) return true;
  const size_t index = size_t(at - own->begin());
  // The title's table fitted as the run fits it, over the colours alone: the earlier
  // tracks (one that cannot be drawn stops the run, and takes nothing here) and this one's
  // pictures up to the one shown.
  std::vector<std::vector<Subpicture>> colours(row + 1);
  for (size_t k = 0; k <= row; ++k) {
    std::string ignored;
    const std::vector<Subpicture>* pictures = k == row ? own : Track(tracks[k], &ignored);
    if (!pictures) continue;
    const size_t count = k == row ? index + 1 : pictures->size();
    colours[k].resize(count);
    for (size_t j = 0; j < count; ++j) colours[k][j].bitmap.palette = (*pictures)[j].bitmap.palette;
  }
  std::vector<std::vector<Subpicture>*> streams;
  for (std::vector<Subpicture>& c : colours) streams.push_back(&c);
  FitTitlePalette(streams, drawer_.Style());
  *shown = at->bitmap;
  shown->palette = colours[row][index].bitmap.palette;
  return true;
}

bool TitleCuePreview::Render(const std::vector<SubtitleTrack>& tracks, size_t row, std::int64_t titleMs,
                             RgbImage* picture, std::string* error) {
  SubpictureBitmap shown;
  if (!ShownAt(tracks, row, titleMs, &shown, error)) return false;
  const CuePreviewInputs frame{inputs_.source, inputs_.standard, inputs_.wide, inputs_.film};
  return RenderFramePreview(frame, titleMs + PicturesFromMs(), &shown, picture, error);
}

}  // namespace vantrel
