// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/thumbnail_image_list.h"

namespace vantrel {
namespace {

// Nearest-neighbour fit; thumbnails normally arrive at 80 x 60 already.
RgbImage FitThumbnail(const RgbImage& image) {
  RgbImage out(ThumbnailImageList::kWidth, ThumbnailImageList::kHeight);
  if (image.Empty()) return out;
  for (int y = 0; y < out.height; ++y) {
    const std::uint8_t* src = image.Row(y * image.height / out.height);
    std::uint8_t* dst = out.Row(y);
    for (int x = 0; x < out.width; ++x) {
      const std::uint8_t* pixel = src + size_t(x * image.width / out.width) * 3;
      dst[x * 3] = pixel[0];
      dst[x * 3 + 1] = pixel[1];
      dst[x * 3 + 2] = pixel[2];
    }
  }
  return out;
}

}  // namespace

int ThumbnailImageList::Add(const RgbImage& image) {
  if (image.width == kWidth && image.height == kHeight &&
      image.pixels.size() == size_t(kWidth * kHeight * 3))
    images_.push_back(image);
  else
    images_.push_back(FitThumbnail(image));
  return int(images_.size()) - 1;
}

const RgbImage& ThumbnailImageList::At(int index) const {
  static const RgbImage kNone;
  if (index < 0 || index >= Count()) return kNone;
  return images_[size_t(index)];
}

}  // namespace vantrel
