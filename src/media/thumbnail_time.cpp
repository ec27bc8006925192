// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/thumbnail_time.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/media/ffmpeg_file.h"

namespace vantrel {
namespace {

// Video black is 16 of 255; a dark but real scene lies well above this mean.
constexpr double kBlackMean = 24;
// Below this spread a picture is one colour (a leader, a title card's plain background).
constexpr double kFlatSpread = 8;

}  // namespace

PictureLook LookOf(const std::uint8_t* rows, int width, int height, int stride) {
  PictureLook look;
  if (!rows || width <= 0 || height <= 0) return look;
  double sum = 0, squares = 0;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* p = rows + std::ptrdiff_t(y) * stride;
    for (int x = 0; x < width; ++x, p += 3) {
      const double luma = 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
      sum += luma;
      squares += luma * luma;
    }
  }
  const double n = double(width) * height;
  look.mean = sum / n;
  look.spread = std::sqrt(std::max(0.0, squares / n - look.mean * look.mean));
  return look;
}

bool IsBlack(const PictureLook& look) { return look.mean < kBlackMean; }

bool ShowsSomething(const PictureLook& look) { return !IsBlack(look) && look.spread >= kFlatSpread; }

std::vector<double> ThumbnailCandidates(double duration) {
  // From half a second on: the very first picture is the one most often black.
  std::vector<double> times;
  for (double t : {0.5, 1.0, 2.0, 3.0, 5.0, 8.0, 12.0, 20.0})
    if (t < duration - 0.1) times.push_back(t);
  if (times.empty()) times.push_back(duration > 0.2 ? duration / 2 : 0.0);
  return times;
}

double PickThumbnailTime(const std::string& path, double duration) {
  const std::vector<double> times = ThumbnailCandidates(duration);
  media::MediaFile file;
  if (com::FAILED(file.Open(path))) return times.front();
  const int video = file.FirstOf(media::StreamFacts::Kind::Video);
  media::VideoDecoder decoder;
  if (video < 0 || com::FAILED(decoder.Open(file, file.Streams()[size_t(video)].fileIndex))) return times.front();
  double notBlack = -1;
  for (double t : times) {
    media::DibFrame picture;
    if (com::FAILED(decoder.FrameAt(t, picture, 80, 60)) || picture.bits.empty()) continue;
    const PictureLook look = LookOf(picture.bits.data(), picture.width, picture.height, picture.Stride());
    if (ShowsSomething(look)) return t;
    if (notBlack < 0 && !IsBlack(look)) notBlack = t;
  }
  return notBlack >= 0 ? notBlack : times.front();
}

}  // namespace vantrel
