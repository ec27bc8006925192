// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/dib_file.h"

#include <cstdio>

#include "platform/media/interfaces.h"

namespace vantrel::media {

bool WriteDibFile(const std::string& path, const DibFrame& frame) {
  BITMAPFILEHEADER fileHeader;
  BITMAPINFOHEADER header;
  header.biWidth = frame.width;
  header.biHeight = frame.height;
  header.biBitCount = WORD(frame.bitsPerPixel);
  header.biSizeImage = DWORD(frame.bits.size());
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = DWORD(fileHeader.bfOffBits + frame.bits.size());
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(&fileHeader, sizeof fileHeader, 1, out) == 1 &&
            std::fwrite(&header, sizeof header, 1, out) == 1 &&
            std::fwrite(frame.bits.data(), 1, frame.bits.size(), out) == frame.bits.size();
  ok = std::fclose(out) == 0 && ok;
  if (!ok) std::remove(path.c_str());  // no half picture left behind
  return ok;
}

}  // namespace vantrel::media
