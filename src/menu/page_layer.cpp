// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/page_layer.h"

#include <cairo.h>

#include <cstring>

namespace vantrel {

bool WritePageLayer(const std::string& path, const PageLayer& layer) {
  if (layer.Empty()) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, layer.width, layer.height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < layer.height; ++y)
    std::memcpy(data + std::size_t(y) * std::size_t(stride), layer.pixels.data() + std::size_t(y) * std::size_t(layer.width),
                std::size_t(layer.width) * 4);
  cairo_surface_mark_dirty(surface);
  const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

bool ReadPageLayer(const std::string& path, PageLayer& layer) {
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  if (ok) {
    // A PNG without alpha comes as RGB24, whose unused byte is not to be trusted.
    const bool opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
    ok = opaque || cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    layer.width = cairo_image_surface_get_width(surface);
    layer.height = cairo_image_surface_get_height(surface);
    layer.pixels.assign(std::size_t(layer.width) * std::size_t(layer.height), 0);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; ok && y < layer.height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * std::size_t(stride));
      for (int x = 0; x < layer.width; ++x)
        layer.pixels[std::size_t(y) * std::size_t(layer.width) + std::size_t(x)] = opaque ? row[x] | 0xFF000000u : row[x];
    }
  }
  cairo_surface_destroy(surface);
  return ok;
}

void CompositeOver(const PageLayer& layer, RgbImage& picture) {
  if (layer.width != picture.width || layer.height != picture.height) return;
  for (int y = 0; y < layer.height; ++y) {
    const std::uint32_t* row = layer.pixels.data() + std::size_t(y) * std::size_t(layer.width);
    std::uint8_t* out = picture.Row(y);
    for (int x = 0; x < layer.width; ++x, out += 3) {
      const std::uint32_t p = row[x];
      const unsigned alpha = p >> 24;
      if (alpha == 0) continue;
      const unsigned keep = 255 - alpha;
      out[0] = std::uint8_t(((p >> 16) & 0xFF) + (out[0] * keep + 127) / 255);
      out[1] = std::uint8_t(((p >> 8) & 0xFF) + (out[1] * keep + 127) / 255);
      out[2] = std::uint8_t((p & 0xFF) + (out[2] * keep + 127) / 255);
    }
  }
}

RgbImage LayerPicture(const PageLayer& layer) {
  RgbImage picture(layer.width, layer.height);
  CompositeOver(layer, picture);
  return picture;
}

}  // namespace vantrel
