// SPDX-License-Identifier: GPL-3.0-or-later
// Test pictures and independent readers: pictures of every background format made with
// FFmpeg's encoders (icons and metafiles assembled by hand), palette PNGs read back with
// libpng, menu streams read back with libavformat and by scanning their packs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/rgb_image.h"
#include "menu/picture_loader.h"

namespace vantrel::test {

// A picture whose left half is `left` and right half `right` (0xRRGGBB).
bool WriteTwoColourPicture(const std::string& path, PictureFormat format, std::uint32_t left,
                           std::uint32_t right, int width = 64, int height = 48);

struct PngFacts {
  int width = 0, height = 0, bitDepth = 0, colourType = -1, paletteEntries = 0;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB
  std::vector<std::uint8_t> indices;   // unpacked, one per pixel
};
bool ReadPalettePng(const std::string& path, PngFacts& facts);

struct StreamFacts {
  bool opened = false;
  int videoWidth = 0, videoHeight = 0;
  double frameRate = 0;
  std::string videoCodec, audioCodec;
  int audioRate = 0, audioChannels = 0;
  bool hasSubpicture = false;
  double durationSeconds = 0;
};
StreamFacts ProbeStream(const std::string& path);

// Private stream 1 packets whose substream id is a sub-picture stream (0x20..0x3F).
int CountSubpicturePackets(const std::string& path);
// Navigation packs: PCI (00 00 01 BF 03 D4) and DSI (00 00 01 BF 03 FA) headers.
int CountNavigationPacks(const std::string& path);

// An 80 x 60 thumbnail with a gradient that differs per seed.
RgbImage GradientThumbnail(int seed);

}  // namespace vantrel::test
