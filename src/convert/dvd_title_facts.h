// SPDX-License-Identifier: GPL-3.0-or-later
// What planning a disc needs to know of one title before it is repaired: its length, how
// many picture pixels per second its DVD encode carries (bars left out), the sound rate an
// encode writes, and whether the encoder would keep its pictures rather than encode them.
#pragma once

#include <cstdint>
#include <string>

#include "convert/convert_to_dvd_mpeg.h"
#include "convert/picture_fit.h"

namespace vantrel {

struct DvdTitleFacts {
  double seconds = 0;
  double pixelsPerSecond = 0;
  // The encode's frame, its shape, and the part of it the pictures fill as the encoder
  // places them (the rest is black bars).
  int frameWidth = 0, frameHeight = 0;
  bool wide = false;  // 16:9
  PictureRect picture;
  int audioBitRate = 0;
  // The encoder keeps the title's pictures: it copies the title, or encodes only its sound.
  bool copied = false;
  // What such a title comes to: the file's own bytes, with its sound at the encoded rate
  // when only the sound is encoded.
  std::int64_t copiedBytes = 0;
};

// The facts of the title the repair makes of `path` for a disc as `target` says (its rate
// left aside). False when the file cannot be read as a video.
bool DvdTitleFactsOf(const std::string& path, TvStandard standard, DvdTitleFacts& facts, const DiscTarget& target = {});

// The length of a file as libavformat reads it, and how long after its start the first
// picture comes (sound may lead); zeros when it cannot be read.
struct MediaLength {
  double seconds = 0;
  double picturesFrom = 0;
};
MediaLength MediaLengthOf(const std::string& path);

// "" when a title file can go on a disc of `standard` with its pictures as they are: MPEG-2
// of the standard's frame size and rate, flagged 4:3 or 16:9, within the DVD's rates.
// Otherwise what differs, in the user's words. A file that cannot be read gives "" (the
// title check reports it).
std::string DvdPicturesProblem(const std::string& path, TvStandard standard);

}  // namespace vantrel
