// SPDX-License-Identifier: GPL-3.0-or-later
// Where a title's thumbnail is taken: the first moment near the start whose picture shows
// something. Much real footage opens on black (a fade-in, a leader), and a black button
// on the disc menu tells the viewer nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// How a picture looks: the mean and the spread (standard deviation) of its brightness,
// both from 0 to 255.
struct PictureLook {
  double mean = 0;
  double spread = 0;
};

// The look of a picture of 24-bit rows (blue, green, red), `stride` bytes apart.
PictureLook LookOf(const std::uint8_t* rows, int width, int height, int stride);
bool IsBlack(const PictureLook& look);
// Not black and not one flat colour.
bool ShowsSomething(const PictureLook& look);

// The moments tried, in order, for a title of `duration` seconds.
std::vector<double> ThumbnailCandidates(double duration);
// The moment of the thumbnail: the first candidate that shows something, else the first
// that is not black, else the first candidate (also when the file cannot be decoded).
double PickThumbnailTime(const std::string& path, double duration);

}  // namespace vantrel
