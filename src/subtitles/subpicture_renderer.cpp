// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/subpicture_renderer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "base/log.h"

extern "C" {
#include <ass/ass.h>
}

namespace vantrel {
namespace {

// What libass hands over, gathered per pixel of the safe area: how much of it the glyphs
// and how much their outlines (and shadows) cover, 0 to 1.
struct Coverage {
  int originX = 0, originY = 0;  // of this region in the safe area; both even
  int width = 0, height = 0;
  std::vector<float> fill, border;
  std::uint32_t fillColour = 0, borderColour = 0;
  bool hasFill = false, hasBorder = false;
};

void Accumulate(const ASS_Image* image, Coverage* cover) {
  for (; image; image = image->next) {
    const bool glyph = image->type == ASS_Image::IMAGE_TYPE_CHARACTER;
    std::vector<float>& layer = glyph ? cover->fill : cover->border;
    const float opacity = (255 - (image->color & 0xFF)) / 255.0f;
    if (glyph && !cover->hasFill) cover->fillColour = image->color >> 8, cover->hasFill = true;
    if (!glyph && !cover->hasBorder) cover->borderColour = image->color >> 8, cover->hasBorder = true;
    for (int row = 0; row < image->h; ++row) {
      const int y = image->dst_y - cover->originY + row;
      if (y < 0 || y >= cover->height) continue;
      const unsigned char* source = image->bitmap + size_t(row) * size_t(image->stride);
      for (int column = 0; column < image->w; ++column) {
        const int x = image->dst_x - cover->originX + column;
        if (x < 0 || x >= cover->width) continue;
        float& value = layer[size_t(y) * size_t(cover->width) + size_t(x)];
        const float a = source[column] / 255.0f * opacity;
        value = value + a * (1 - value);
      }
    }
  }
}

// Glyph over outline over nothing; a pixel shows when it is at least half covered, and
// its colour is the fill, the outline or, where they blend, the shade between them.
std::uint8_t Classify(float fill, float border) {
  const float alpha = fill + border * (1 - fill);
  if (alpha < 0.5f) return kTransparent;
  const float share = fill / alpha;
  if (share >= 0.75f) return kFill;
  if (share <= 0.25f) return kOutline;
  return kShade;
}

std::uint32_t Between(std::uint32_t a, std::uint32_t b) {
  std::uint32_t out = 0;
  for (int shift : {16, 8, 0}) out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
  return out;
}

// libass's messages go to the log: its errors (a font it cannot load) as warnings, the
// rest (the fonts it picks) for developers.
void LibassMessage(int level, const char* format, va_list args, void*) {
  if (level > 4) return;  // its chatter about every glyph
  char text[1024];
  std::vsnprintf(text, sizeof text, format, args);
  Log(level <= 1 ? LogLevel::kWarning : LogLevel::kDebug, std::string("libass: ") + text);
}

}  // namespace

struct SubpictureRenderer::Impl {
  SubpictureGeometry geometry;
  SubtitleStyle style;
  ASS_Library* library = nullptr;
  ASS_Renderer* renderer = nullptr;
  ASS_Track* track = nullptr;
  std::vector<std::int64_t> changes;  // every cue's start and end, sorted, unique

  ~Impl() {
    if (track) ass_free_track(track);
    if (renderer) ass_renderer_done(renderer);
    if (library) ass_library_done(library);
  }

  SubpictureBitmap Crop(const Coverage& cover) const {
    const SafeArea safe = geometry.ActionSafe();
    int left = cover.width, top = cover.height, right = -1, bottom = -1;
    std::vector<std::uint8_t> classes(cover.fill.size());
    for (int y = 0; y < cover.height; ++y)
      for (int x = 0; x < cover.width; ++x) {
        const size_t i = size_t(y) * size_t(cover.width) + size_t(x);
        classes[i] = Classify(cover.fill[i], cover.border[i]);
        if (classes[i] == kTransparent) continue;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    SubpictureBitmap bitmap;
    if (right < 0) return bitmap;
    // Even picture lines and columns; the safe area's own corner is even, so this stays in it.
    left -= left % 2, top -= top % 2;
    const int height = (bottom - top + 2) & ~1;
    bitmap.x = safe.x + cover.originX + left;
    bitmap.y = safe.y + cover.originY + top;
    bitmap.width = right - left + 1;
    bitmap.height = std::min(height, cover.height - top);
    bitmap.index.assign(size_t(bitmap.width) * size_t(bitmap.height), kTransparent);
    for (int y = 0; y < bitmap.height; ++y)
      std::copy_n(classes.begin() + std::ptrdiff_t(size_t(top + y) * size_t(cover.width) + size_t(left)),
                  bitmap.width, bitmap.index.begin() + std::ptrdiff_t(size_t(y) * size_t(bitmap.width)));
    const std::uint32_t fill = cover.hasFill ? cover.fillColour : style.fill;
    const std::uint32_t border = cover.hasBorder ? cover.borderColour : style.outline;
    bitmap.palette = {0, fill, border, Between(fill, border)};
    return bitmap;
  }

  SubpictureBitmap Render(std::int64_t timeMs, int* change) {
    const SafeArea safe = geometry.ActionSafe();
    int changed = 0;
    const ASS_Image* images = ass_render_frame(renderer, track, timeMs, &changed);
    if (change) *change = changed;
    // Only the region the images cover is gathered, with even corners inside the safe area.
    int left = safe.width, top = safe.height, right = 0, bottom = 0;
    for (const ASS_Image* image = images; image; image = image->next) {
      if (image->w <= 0 || image->h <= 0) continue;
      left = std::min(left, image->dst_x), top = std::min(top, image->dst_y);
      right = std::max(right, image->dst_x + image->w), bottom = std::max(bottom, image->dst_y + image->h);
    }
    left = std::max(0, left) & ~1, top = std::max(0, top) & ~1;
    right = std::min(safe.width, right), bottom = std::min(safe.height, (bottom + 1) & ~1);
    if (right <= left || bottom <= top) return {};
    Coverage cover;
    cover.originX = left, cover.originY = top;
    cover.width = right - left, cover.height = bottom - top;
    cover.fill.assign(size_t(cover.width) * size_t(cover.height), 0.0f);
    cover.border = cover.fill;
    Accumulate(images, &cover);
    return Crop(cover);
  }
};

SubpictureRenderer::SubpictureRenderer(const SubpictureGeometry& geometry, const SubtitleStyle& style)
    : impl_(std::make_unique<Impl>()) {
  impl_->geometry = geometry;
  impl_->style = style;
  impl_->library = ass_library_init();
  if (!impl_->library) return;
  ass_set_message_cb(impl_->library, LibassMessage, nullptr);
  ass_set_extract_fonts(impl_->library, 1);  // fonts embedded in an ASS file
  impl_->renderer = ass_renderer_init(impl_->library);
  if (!impl_->renderer) return;
  // libass draws into the action-safe area only, so nothing can leave it.
  const SafeArea safe = geometry.ActionSafe();
  ass_set_frame_size(impl_->renderer, safe.width, safe.height);
  ass_set_storage_size(impl_->renderer, safe.width, safe.height);
  // libass draws for a frame of square pixels; the DVD stretches ours, so glyphs are drawn
  // narrower (wider for NTSC 4:3) by the inverse of that stretch.
  ass_set_pixel_aspect(impl_->renderer, 1.0 / geometry.PixelAspect());
  ass_set_fonts(impl_->renderer, nullptr, style.font.c_str(), ASS_FONTPROVIDER_AUTODETECT, nullptr, 1);
}

SubpictureRenderer::~SubpictureRenderer() = default;

bool SubpictureRenderer::Load(const TextSubtitles& source, std::string* error) {
  if (!impl_->renderer) {
    *error = "the subtitle renderer (libass) cannot be started";
    return false;
  }
  if (impl_->track) ass_free_track(impl_->track);
  impl_->track = ass_new_track(impl_->library);
  if (!impl_->track) {
    *error = "out of memory for the subtitle track";
    return false;
  }
  std::string header = source.ownStyles && !source.assHeader.empty() ? source.assHeader
                                                                      : AssHeaderOf(impl_->style, impl_->geometry);
  ass_process_codec_private(impl_->track, header.data(), static_cast<int>(header.size()));
  impl_->changes.clear();
  for (const SubtitleCue& cue : source.cues) {
    std::string event = cue.event;
    ass_process_chunk(impl_->track, event.data(), static_cast<int>(event.size()), cue.startMs,
                      cue.endMs - cue.startMs);
    impl_->changes.push_back(cue.startMs);
    impl_->changes.push_back(cue.endMs);
  }
  std::sort(impl_->changes.begin(), impl_->changes.end());
  impl_->changes.erase(std::unique(impl_->changes.begin(), impl_->changes.end()), impl_->changes.end());
  return true;
}

SubpictureBitmap SubpictureRenderer::RenderAt(std::int64_t timeMs) {
  if (!impl_->track) return {};
  return impl_->Render(timeMs, nullptr);
}

std::vector<Subpicture> SubpictureRenderer::RenderAll() {
  std::vector<Subpicture> pictures;
  if (!impl_->track) return pictures;
  const std::vector<std::int64_t>& changes = impl_->changes;
  for (size_t i = 0; i + 1 < changes.size(); ++i) {
    int change = 2;
    SubpictureBitmap bitmap = impl_->Render(changes[i], &change);
    if (bitmap.Empty()) continue;
    // The same picture as the stretch just before goes on showing.
    if (change == 0 && !pictures.empty() && pictures.back().endMs == changes[i]) {
      pictures.back().endMs = changes[i + 1];
      continue;
    }
    pictures.push_back({changes[i], changes[i + 1], std::move(bitmap)});
  }
  return pictures;
}

}  // namespace vantrel
