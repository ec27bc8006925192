// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/bitmap_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>

namespace vantrel {

std::uint32_t DibStride(std::int64_t width, int bitsPerPixel) {
  return std::uint32_t(((width * bitsPerPixel + 31) / 32) * 4);
}

BITMAPINFOHEADER InfoHeader(std::int32_t width, std::int32_t height, int bitsPerPixel) {
  BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = media::WORD(bitsPerPixel);
  return h;
}

bool WriteBmpFile(const std::string& path, const BITMAPFILEHEADER& header,
                  std::initializer_list<std::pair<const void*, size_t>> blocks) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(&header, sizeof header, 1, out) == 1;
  for (const auto& [data, size] : blocks)
    if (ok && size) ok = std::fwrite(data, 1, size, out) == size;
  ok = std::fclose(out) == 0 && ok;
  if (!ok) std::remove(path.c_str());
  return ok;
}

bool DibImage::Fail(const char* message) {
  error_ = message;
  header_ = BITMAPINFOHEADER{};
  colours_.clear();
  bits_.clear();
  palette_.clear();
  return false;
}

void DibImage::MakePalette() {
  palette_.clear();
  if (header_.biBitCount > 8) return;
  for (const RgbQuad& c : colours_) palette_.push_back(PaletteEntry{c.red, c.green, c.blue, 0});
}

bool DibImage::Load(const RgbImage& image) {
  error_.clear();
  if (image.Empty()) return Fail("could not allocate data storage\n");
  header_ = InfoHeader(image.width, image.height, 24);
  std::uint32_t stride = DibStride(image.width, 24);
  header_.biSizeImage = stride * std::uint32_t(image.height);
  colours_.clear();
  bits_.assign(header_.biSizeImage, 0);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* src = image.Row(image.height - 1 - y);
    std::uint8_t* dst = bits_.data() + size_t(y) * stride;
    for (int x = 0; x < image.width; ++x) {
      dst[x * 3] = src[x * 3 + 2];
      dst[x * 3 + 1] = src[x * 3 + 1];
      dst[x * 3 + 2] = src[x * 3];
    }
  }
  MakePalette();
  return true;
}

bool DibImage::Read(std::istream& in) {
  error_.clear();
  std::streampos begin = in.tellg();
  in.seekg(0, std::ios::end);
  std::int64_t available = std::int64_t(in.tellg() - begin);
  in.seekg(begin);
  if (!in || available < 14) return Fail("Error:Unexpected file type, not a DIB\n");
  BITMAPFILEHEADER fileHeader;
  in.read(reinterpret_cast<char*>(&fileHeader), sizeof fileHeader);
  if (!in || fileHeader.bfType != 0x4D42) return Fail("Error:Unexpected file type, not a DIB\n");
  std::uint32_t headerSize = 0;
  if (available < 14 + 4 || !in.read(reinterpret_cast<char*>(&headerSize), 4))
    return Fail("Error:Unexpected file type, not a DIB\n");
  if (headerSize != 40) return Fail("Error:OS2 PM BMP Format not supported\n");
  if (available < 54) return Fail("Error:truncated bitmap header\n");
  BITMAPINFOHEADER info;
  in.seekg(begin + std::streamoff(14));
  in.read(reinterpret_cast<char*>(&info), sizeof info);
  if (!in) return Fail("Error:truncated bitmap header\n");

  const int bpp = info.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail("Error:unsupported bits per pixel\n");
  if (info.biCompression != 0) return Fail("Error:compressed bitmaps not supported\n");
  std::int64_t width = info.biWidth, height = info.biHeight < 0 ? -std::int64_t(info.biHeight) : info.biHeight;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return Fail("Error:bitmap size out of range\n");
  // Colours: the header's count or 2^bpp, at most 256, and only for palette images.
  std::int64_t colourCount = 0;
  if (bpp <= 8) {
    colourCount = info.biClrUsed ? std::int64_t(info.biClrUsed) : (std::int64_t(1) << bpp);
    if (colourCount > 256) return Fail("Error:colour table too large\n");
  }
  std::int64_t tableEnd = 54 + 4 * colourCount;
  std::int64_t offset = fileHeader.bfOffBits;
  std::int64_t rowBytes = DibStride(width, bpp);
  std::int64_t pixelBytes = rowBytes * height;
  // The pixels must lie inside the stream: sizes the file claims are checked against what
  // is really there, never used to allocate on trust.
  if (offset < tableEnd || offset > available) return Fail("Error:bad pixel offset\n");
  if (available - offset < pixelBytes) return Fail("Error:truncated pixel data\n");

  colours_.assign(size_t(colourCount), RgbQuad{});
  if (colourCount) {
    in.seekg(begin + std::streamoff(54));
    in.read(reinterpret_cast<char*>(colours_.data()), std::streamsize(4 * colourCount));
    if (!in) return Fail("Error:truncated colour table\n");
  }
  bits_.assign(size_t(pixelBytes), 0);
  in.seekg(begin + std::streamoff(offset));
  in.read(reinterpret_cast<char*>(bits_.data()), std::streamsize(pixelBytes));
  if (!in) return Fail("Error:truncated pixel data\n");
  header_ = info;
  header_.biSizeImage = std::uint32_t(pixelBytes);
  MakePalette();
  return true;
}

bool DibImage::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail("Error:could not open file\n");
  return Read(in);
}

bool DibImage::Write(std::ostream& out) const {
  if (bits_.empty()) return false;
  std::uint32_t stride = DibStride(header_.biWidth, header_.biBitCount);
  BITMAPINFOHEADER info = header_;
  info.biSizeImage = stride * std::uint32_t(Height());
  BITMAPFILEHEADER fileHeader;
  fileHeader.bfOffBits = std::uint32_t(14 + 40 + 4 * colours_.size());
  fileHeader.bfSize = fileHeader.bfOffBits + info.biSizeImage;
  out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(reinterpret_cast<const char*>(colours_.data()), std::streamsize(4 * colours_.size()));
  out.write(reinterpret_cast<const char*>(bits_.data()), std::streamsize(info.biSizeImage));
  return bool(out);
}

bool DibImage::WriteFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  bool ok = out && Write(out);
  out.close();
  ok = ok && !out.fail();
  if (!ok) std::remove(path.c_str());
  return ok;
}

RgbImage DibImage::ToRgbImage() const {
  if (bits_.empty()) return {};
  int w = Width(), h = Height(), bpp = header_.biBitCount;
  RgbImage image(w, h);
  std::uint32_t stride = DibStride(w, bpp);
  bool bottomUp = header_.biHeight > 0;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = bits_.data() + size_t(bottomUp ? h - 1 - y : y) * stride;
    std::uint8_t* dst = image.Row(y);
    for (int x = 0; x < w; ++x) {
      std::uint8_t r = 0, g = 0, b = 0;
      if (bpp >= 24) {
        const std::uint8_t* p = row + size_t(x) * size_t(bpp / 8);
        b = p[0], g = p[1], r = p[2];
      } else if (bpp == 16) {  // 5-5-5
        std::uint16_t v = std::uint16_t(row[x * 2] | (row[x * 2 + 1] << 8));
        r = std::uint8_t(((v >> 10) & 31) * 255 / 31);
        g = std::uint8_t(((v >> 5) & 31) * 255 / 31);
        b = std::uint8_t((v & 31) * 255 / 31);
      } else {
        int perByte = 8 / bpp;
        int shift = 8 - bpp * (x % perByte + 1);
        unsigned index = (row[x / perByte] >> shift) & ((1u << bpp) - 1);
        if (index < colours_.size()) {
          r = colours_[index].red, g = colours_[index].green, b = colours_[index].blue;
        }
      }
      dst[x * 3] = r, dst[x * 3 + 1] = g, dst[x * 3 + 2] = b;
    }
  }
  return image;
}

void DibImage::DrawStretched(RgbImage& target, int left, int top, int width, int height) const {
  if (bits_.empty() || width <= 0 || height <= 0) return;
  RgbImage source = ToRgbImage();
  for (int ty = 0; ty < height; ++ty) {
    int y = top + ty;
    if (y < 0 || y >= target.height) continue;
    // The source rows and columns that fall into this target pixel, averaged.
    int y0 = int(std::int64_t(ty) * source.height / height);
    int y1 = std::max(y0 + 1, int(std::int64_t(ty + 1) * source.height / height));
    for (int tx = 0; tx < width; ++tx) {
      int x = left + tx;
      if (x < 0 || x >= target.width) continue;
      int x0 = int(std::int64_t(tx) * source.width / width);
      int x1 = std::max(x0 + 1, int(std::int64_t(tx + 1) * source.width / width));
      std::uint64_t sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 3; ++c) sum[c] += source.Row(sy)[sx * 3 + c];
      std::uint64_t n = std::uint64_t(y1 - y0) * std::uint64_t(x1 - x0);
      for (int c = 0; c < 3; ++c) target.Row(y)[x * 3 + c] = std::uint8_t((sum[c] + n / 2) / n);
    }
  }
}

void DibImage::Draw(RgbImage& target, int x, int y) const {
  RgbImage source = ToRgbImage();
  for (int sy = 0; sy < source.height; ++sy) {
    int ty = y + sy;
    if (ty < 0 || ty >= target.height) continue;
    for (int sx = 0; sx < source.width; ++sx) {
      int tx = x + sx;
      if (tx < 0 || tx >= target.width) continue;
      std::memcpy(target.Row(ty) + tx * 3, source.Row(sy) + sx * 3, 3);
    }
  }
}

}  // namespace vantrel
