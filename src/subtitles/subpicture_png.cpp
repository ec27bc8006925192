// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/subpicture_png.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace vantrel {

bool WriteSubpicturePng(const std::string& path, const SubpictureBitmap& bitmap) {
  if (bitmap.Empty()) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(size_t(bitmap.width) * 4);
  bool ok = false;
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(bitmap.width), png_uint_32(bitmap.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);  // small pictures, written once and read once
    png_write_info(png, info);
    for (int y = 0; y < bitmap.height; ++y) {
      for (int x = 0; x < bitmap.width; ++x) {
        const std::uint8_t index = bitmap.index[size_t(y) * size_t(bitmap.width) + size_t(x)];
        const std::uint32_t colour = bitmap.palette[index];
        png_byte* pixel = &row[size_t(x) * 4];
        pixel[0] = index ? png_byte(colour >> 16) : 0;
        pixel[1] = index ? png_byte(colour >> 8) : 0;
        pixel[2] = index ? png_byte(colour) : 0;
        pixel[3] = index ? 255 : 0;
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
}

}  // namespace vantrel
