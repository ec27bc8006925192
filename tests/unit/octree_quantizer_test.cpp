// SPDX-License-Identifier: GPL-3.0-or-later
// The button images' colour reduction: never more colours than asked, exact colours kept
// when the image has no more, every pixel on its nearest palette entry.
#include "menu/octree_quantizer.h"

#include <gtest/gtest.h>

#include <set>

namespace vantrel {
namespace {

RgbImage Noise(int w, int h) {
  RgbImage image(w, h);
  std::uint32_t state = 12345;
  for (auto& byte : image.pixels) {
    state = state * 1103515245u + 12345u;
    byte = std::uint8_t(state >> 16);
  }
  return image;
}

long Distance(const PaletteColour& c, const std::uint8_t* p) {
  long dr = long(p[0]) - c.r, dg = long(p[1]) - c.g, db = long(p[2]) - c.b;
  return dr * dr + dg * dg + db * db;
}

TEST(OctreeQuantizer, TwoColourImageKeepsItsExactColours) {
  RgbImage image(40, 10);  // black with a blue band, like a button image
  for (int y = 3; y < 6; ++y)
    for (int x = 5; x < 35; ++x) image.Row(y)[x * 3 + 2] = 255;
  PalettedImage out = QuantizeOctree(image, 2);
  ASSERT_EQ(out.usedColours, 2);
  EXPECT_EQ(out.palette[out.indices[0]], (PaletteColour{0, 0, 0}));
  EXPECT_EQ(out.palette[out.indices[4 * 40 + 10]], (PaletteColour{0, 0, 255}));
  for (int i = 2; i < 16; ++i) EXPECT_EQ(out.palette[size_t(i)], (PaletteColour{})) << i;

  RgbImage black(8, 8);
  EXPECT_EQ(QuantizeOctree(black, 2).usedColours, 1);
}

TEST(OctreeQuantizer, NeverMoreColoursThanAskedAndEveryPixelOnItsNearest) {
  RgbImage image = Noise(97, 61);
  for (int limit : {1, 2, 4, 16}) {
    SCOPED_TRACE(limit);
    PalettedImage out = QuantizeOctree(image, limit);
    EXPECT_GE(out.usedColours, 1);
    EXPECT_LE(out.usedColours, limit);
    std::set<int> used(out.indices.begin(), out.indices.end());
    EXPECT_LE(int(used.size()), out.usedColours);
    for (size_t i = 0; i < out.indices.size(); ++i) {
      ASSERT_LT(out.indices[i], out.usedColours);
      const std::uint8_t* p = image.pixels.data() + i * 3;
      for (int c = 0; c < out.usedColours; ++c)
        ASSERT_LE(Distance(out.palette[out.indices[i]], p), Distance(out.palette[size_t(c)], p));
    }
  }
  // Out-of-range limits are clamped, not trusted.
  EXPECT_LE(QuantizeOctree(image, 99).usedColours, 16);
  EXPECT_EQ(QuantizeOctree(image, 0).usedColours, 1);
  EXPECT_TRUE(QuantizeOctree(RgbImage(), 2).indices.empty());
}

}  // namespace
}  // namespace vantrel
