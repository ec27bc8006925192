// SPDX-License-Identifier: GPL-3.0-or-later
// Draws a text subtitle track with libass into DVD subpictures: four colours (transparent,
// fill, outline and one shade between them for the glyphs' antialiased edges), inside the
// action-safe area of the title's picture, one picture for every stretch of time in which
// what is shown does not change.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "subtitles/subpicture_geometry.h"
#include "subtitles/subtitle_style.h"
#include "subtitles/text_subtitles.h"

namespace vantrel {

enum SubpictureIndex : std::uint8_t { kTransparent = 0, kFill = 1, kOutline = 2, kShade = 3 };

// A cropped subpicture: `index` holds one palette index per pixel, rows top to bottom;
// x, y and height are even, so both fields of an interlaced picture get whole lines.
struct SubpictureBitmap {
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<std::uint8_t> index;
  std::array<std::uint32_t, 4> palette{};  // 0xRRGGBB of each index; index 0 is never shown
  bool Empty() const { return width <= 0 || height <= 0; }
  std::uint8_t At(int px, int py) const { return index[size_t(py - y) * size_t(width) + size_t(px - x)]; }
};

struct Subpicture {
  std::int64_t startMs = 0;
  std::int64_t endMs = 0;
  SubpictureBitmap bitmap;
};

class SubpictureRenderer {
 public:
  SubpictureRenderer(const SubpictureGeometry& geometry, const SubtitleStyle& style);
  ~SubpictureRenderer();
  SubpictureRenderer(const SubpictureRenderer&) = delete;
  SubpictureRenderer& operator=(const SubpictureRenderer&) = delete;

  // Takes the track's events (an ASS track with its own header, any other in the style).
  bool Load(const TextSubtitles& track, std::string* error);
  // What is shown at `timeMs`, in picture coordinates; empty when nothing is.
  SubpictureBitmap RenderAt(std::int64_t timeMs);
  // Every picture of the loaded track, in time order, stretches that look the same merged.
  std::vector<Subpicture> RenderAll();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel
