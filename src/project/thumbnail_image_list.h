// SPDX-License-Identifier: GPL-3.0-or-later
// The 80 x 60, 24-bit thumbnails of the titles, one per title. Images are never removed,
// so an index handed out stays valid for the life of the list, also after its title is
// removed; a title's picture grabbed again replaces its image in place.
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
  // Puts a copy of the image (fitted like Add's) in place of the one at `index`; an index
  // that was never handed out gets a new image instead. Returns the image's index.
  int Replace(int index, const RgbImage& image);
  // The image at the index; an empty image for an index that was never handed out.
  const RgbImage& At(int index) const;
  int Count() const { return int(images_.size()); }

 private:
  std::vector<RgbImage> images_;
};

}  // namespace vantrel
