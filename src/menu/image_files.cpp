// SPDX-License-Identifier: GPL-3.0-or-later
// Both writers go to a temporary name and rename it, so a failed write never leaves a
// half image under the name the later menu steps look for.
#include "menu/image_files.h"

#include "base/atomic_file.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace vantrel {
namespace {

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<JpegError*>(info->err);
  std::longjmp(error->jump, 1);
}

bool Finish(std::FILE* file, bool ok, PendingFile& part) {
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  return ok && part.Commit();
}

bool CompressJpeg(std::FILE* file, const RgbImage& image) {
  jpeg_compress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = JDIMENSION(image.width);
  info.image_height = JDIMENSION(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.Row(int(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

bool CompressPng(std::FILE* file, const PalettedImage& image) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 4,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_color palette[16];
  for (int i = 0; i < 16; ++i)
    palette[i] = {image.palette[size_t(i)].r, image.palette[size_t(i)].g, image.palette[size_t(i)].b};
  png_set_PLTE(png, info, palette, 16);
  png_write_info(png, info);
  std::vector<png_byte> row(size_t(image.width + 1) / 2);
  for (int y = 0; y < image.height; ++y) {
    std::fill(row.begin(), row.end(), 0);
    const std::uint8_t* indices = image.indices.data() + size_t(y) * size_t(image.width);
    for (int x = 0; x < image.width; ++x)
      row[size_t(x / 2)] |= png_byte((indices[x] & 0x0F) << ((x % 2) ? 0 : 4));
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WriteJpeg(const std::string& path, const RgbImage& image) {
  if (image.Empty()) return false;
  PendingFile part;
  std::FILE* file = part.Create(path) ? std::fopen(part.Path().c_str(), "wb") : nullptr;
  if (!file) return false;
  return Finish(file, CompressJpeg(file, image), part);
}

bool WritePalettePng(const std::string& path, const PalettedImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.indices.size() != size_t(image.width) * size_t(image.height))
    return false;
  PendingFile part;
  std::FILE* file = part.Create(path) ? std::fopen(part.Path().c_str(), "wb") : nullptr;
  if (!file) return false;
  return Finish(file, CompressPng(file, image), part);
}

}  // namespace vantrel
