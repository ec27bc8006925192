// SPDX-License-Identifier: GPL-3.0-or-later
// The 80 x 60, 24-bit thumbnails of the titles. Images are only ever added, so an index
// handed out stays valid for the life of the list, also after its title is removed.
#pragma once

#include <vector>

#include "base/rgb_image.h"

namespace vantrel {

class ThumbnailImageList {
 public:
  static constexpr int kWidth = 80;
  static constexpr int kHeight = 60;

  // Adds a copy of the image, scaled to 80 x 60 when it has another size; returns its index.
  int Add(const RgbImage& image);
  // The image at the index; an empty image for an index that was never handed out.
  const RgbImage& At(int index) const;
  int Count() const { return int(images_.size()); }

 private:
  std::vector<RgbImage> images_;
};

}  // namespace vantrel
