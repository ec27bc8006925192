// SPDX-License-Identifier: GPL-3.0-or-later
// Picture subtitle streams of a source (DVD and Blu-ray PGS subtitles) brought onto the
// disc: each picture decoded with libavcodec, scaled from the source's picture to the
// disc's and reduced to a subpicture's four colours (transparent and three of its own).
#pragma once

#include <string>
#include <vector>

#include "subtitles/subpicture_geometry.h"
#include "subtitles/subpicture_renderer.h"

namespace vantrel {

// The pictures of stream `streamIndex` of `path` in time order, timed from the source's
// start; false with the reason when the stream is missing, holds no pictures or cannot be
// decoded.
bool ReadPictureSubtitles(const std::string& path, int streamIndex, const SubpictureGeometry& geometry,
                          std::vector<Subpicture>* pictures, std::string* error);

// RGBA pixels (straight alpha, rows top to bottom) reduced to a subpicture: alpha below
// one half is transparent, the rest takes the nearest of three colours found among them.
// The picture is cropped to what shows, with even top, left and height.
SubpictureBitmap FourColourBitmap(const std::vector<std::uint32_t>& rgba, int width, int height);

}  // namespace vantrel
