// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/thumbnail_owner.h"

#include <cstdio>
#include <vector>

#include "media/bitmap_file.h"

namespace vantrel {

bool ThumbnailHost::ScaleToThumbnail(const std::string& source, int cx, int cy,
                                     const std::string& target) {
  DibImage picture;
  if (!picture.ReadFile(source) || cx <= 0 || cy <= 0) return false;
  RgbImage thumbnail(cx, cy);
  picture.DrawStretched(thumbnail, 0, 0, cx, cy);

  // The packed bitmap at the screen's depth, as the window's device context gives it.
  const int bpp = kScreenBitsPerPixel;
  std::uint32_t stride = DibStride(cx, bpp);
  std::vector<std::uint8_t> rows(size_t(stride) * size_t(cy), 0);
  for (int y = 0; y < cy; ++y) {
    const std::uint8_t* src = thumbnail.Row(cy - 1 - y);
    std::uint8_t* dst = rows.data() + size_t(y) * stride;
    for (int x = 0; x < cx; ++x) {
      dst[x * 4] = src[x * 3 + 2];
      dst[x * 4 + 1] = src[x * 3 + 1];
      dst[x * 4 + 2] = src[x * 3];
    }
  }
  BITMAPINFOHEADER info = InfoHeader(cx, cy, bpp);
  info.biSizeImage = std::uint32_t(rows.size());
  const std::uint32_t colourEntries = 0;  // no colour table above 8 bits per pixel
  BITMAPFILEHEADER fileHeader;
  fileHeader.bfSize = std::uint32_t(sizeof info + rows.size() + 14);
  fileHeader.bfOffBits = 14 + 40 + 4 * colourEntries;
  std::string intermediate = target + "_32.bmp";
  if (!WriteBmpFile(intermediate, fileHeader, {{&info, sizeof info}, {rows.data(), rows.size()}}))
    return false;

  // The depth conversion: read the intermediate back and write it at 24 bits.
  DibImage deep;
  bool ok = deep.ReadFile(intermediate);
  std::remove(intermediate.c_str());
  DibImage flat;
  return ok && flat.Load(deep.ToRgbImage()) && flat.WriteFile(target);
}

}  // namespace vantrel
