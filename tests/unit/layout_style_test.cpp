// SPDX-License-Identifier: GPL-3.0-or-later
// Layout styles from layout.ini: the shipped styles and broken sections.
#include "menu/layout_style.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace vantrel {
namespace {

const std::string kShippedLayout = std::string(VANTREL_SOURCE_DIR) + "/data/layout.ini";

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.Right() && b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}

TEST(ShippedLayout, ThreeStylesFitBetweenTheRulesWithoutOverlap) {
  const int sizes[] = {6, 8, 12};
  for (int index = 0; index < 3; ++index) {
    SCOPED_TRACE(index);
    LayoutStyle style = LayoutStyle::Load(kShippedLayout, index);
    ASSERT_EQ(style.Size(), sizes[index]);
    int minLeft = 720, maxRight = 0;
    for (int i = 0; i < style.Size(); ++i) {
      const LayoutSlot& s = style.slots[size_t(i)];
      EXPECT_GE(s.caption.width, 150);  // about 16 characters
      EXPECT_GT(s.thumbnail.width, 0);
      EXPECT_EQ(s.thumbnail.width * 3, s.thumbnail.height * 4);  // 4:3 like the thumbnails
      for (const Rect& r : {s.thumbnail, s.caption}) {
        EXPECT_GT(r.top, 100);
        EXPECT_LT(r.Bottom(), 470);
        EXPECT_GE(r.left, 40);
        EXPECT_LE(r.Right(), 680);
        minLeft = std::min(minLeft, r.left);
        maxRight = std::max(maxRight, r.Right());
      }
      EXPECT_GE(s.caption.top, s.thumbnail.Bottom());  // caption beneath its thumbnail
      for (int j = 0; j < i; ++j) {
        const LayoutSlot& o = style.slots[size_t(j)];
        EXPECT_FALSE(Overlap(s.caption, o.caption) || Overlap(s.thumbnail, o.thumbnail) ||
                     Overlap(s.caption, o.thumbnail) || Overlap(s.thumbnail, o.caption))
            << "slots " << i + 1 << " and " << j + 1;
      }
    }
    EXPECT_NEAR(minLeft + maxRight, 720, 2);  // centred
  }
  EXPECT_STREQ(LayoutStyleName(2), "12 缩略图样式");
}

TEST(LayoutStyle, BrokenSectionsFallBackToSixEmptySlots) {
  test::TempFolder temp;
  test::WriteText(temp / "layout.ini",
                  "[0]\nsize=0\nmicx=5\n[1]\nsize=-3\n[2]\nsize=abc\n[3]\nsize=2000000000\n"
                  "[4]\nmix1=7\n[5]\nsize=2\nmicx=50\nmix2=9\nmiy2=4\n");
  for (int index : {0, 1, 2, 3, 9}) {
    SCOPED_TRACE(index);
    LayoutStyle style = LayoutStyle::Load(temp / "layout.ini", index);
    ASSERT_EQ(style.Size(), LayoutStyle::kFallbackSize);
    for (const LayoutSlot& s : style.slots) EXPECT_EQ(s.thumbnail, Rect{});
  }
  LayoutStyle noSize = LayoutStyle::Load(temp / "layout.ini", 4);  // size missing: 6
  ASSERT_EQ(noSize.Size(), 6);
  EXPECT_EQ(noSize.slots[0].thumbnail.left, 7);
  LayoutStyle two = LayoutStyle::Load(temp / "layout.ini", 5);
  ASSERT_EQ(two.Size(), 2);
  EXPECT_EQ(two.slots[1].thumbnail, (Rect{9, 4, 50, 0}));
  EXPECT_EQ(LayoutStyle::Load(temp / "missing.ini", 0).Size(), 6);
}

}  // namespace
}  // namespace vantrel
