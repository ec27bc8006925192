// SPDX-License-Identifier: GPL-3.0-or-later
// Device-independent bitmaps: the BMP headers this program writes and DibImage, which
// loads, saves and draws them. Reading never trusts a file's sizes and offsets: a short,
// truncated or lying file is refused before anything is allocated from its numbers.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "base/rgb_image.h"
#include "platform/media/interfaces.h"

namespace vantrel {

using media::BITMAPFILEHEADER;
using media::BITMAPINFOHEADER;

// Bytes of one row of `width` pixels at `bitsPerPixel`, padded to a multiple of 4.
std::uint32_t DibStride(std::int64_t width, int bitsPerPixel);

// The 14-byte file header followed by the given blocks, in one file. False when the file
// cannot be created or written (a partly written file is removed).
bool WriteBmpFile(const std::string& path, const BITMAPFILEHEADER& header,
                  std::initializer_list<std::pair<const void*, size_t>> blocks);

// An info header for uncompressed rows; the rest zero as the grabber writes it.
BITMAPINFOHEADER InfoHeader(std::int32_t width, std::int32_t height, int bitsPerPixel);

struct RgbQuad {
  std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};

struct PaletteEntry {
  std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

class DibImage {
 public:
  // The largest side accepted from a file: far beyond any picture the program makes.
  static constexpr std::int32_t kMaxSide = 16384;

  // From a picture in memory (the bitmap of a window or a decoded frame): 24 bits.
  bool Load(const RgbImage& image);
  // From a BMP stream at its start. False, with LastError set, for anything not a whole
  // uncompressed 1, 4, 8, 16, 24 or 32-bit bitmap.
  bool Read(std::istream& in);
  bool ReadFile(const std::string& path);
  // Rows padded to 4 bytes, header with colour table, as the Part's writer does.
  bool Write(std::ostream& out) const;
  bool WriteFile(const std::string& path) const;

  // Top-down RGB pixels of the image (palette images looked up).
  RgbImage ToRgbImage() const;
  // Draws the whole image stretched into the rectangle of `target` (area averaging, as
  // halftone stretching does), or unscaled with its top-left corner at (x, y).
  void DrawStretched(RgbImage& target, int left, int top, int width, int height) const;
  void Draw(RgbImage& target, int x, int y) const;

  bool Empty() const { return bits_.empty(); }
  int Width() const { return header_.biWidth; }
  int Height() const { return header_.biHeight < 0 ? -header_.biHeight : header_.biHeight; }
  int BitsPerPixel() const { return header_.biBitCount; }
  const std::vector<RgbQuad>& Colours() const { return colours_; }
  const std::vector<PaletteEntry>& Palette() const { return palette_; }
  const std::string& LastError() const { return error_; }

 private:
  bool Fail(const char* message);
  void MakePalette();

  BITMAPINFOHEADER header_{};
  std::vector<RgbQuad> colours_;
  std::vector<std::uint8_t> bits_;  // rows as stored (bottom-up unless the height is negative)
  std::vector<PaletteEntry> palette_;
  std::string error_;
};

}  // namespace vantrel
