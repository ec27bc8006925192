// SPDX-License-Identifier: GPL-3.0-or-later
// The duration gauge's shapes at known sizes.
#include <gtest/gtest.h>

#include "app/gauge_layout.h"

namespace vantrel::app {
namespace {

TEST(GaugeLayout, TicksEveryTwoMinutesWithLabelsOnEveryTenth) {
  const GaugeLayout layout = LayoutGauge(720, 32, 0);
  EXPECT_EQ(layout.tickSpacing, 13);
  ASSERT_EQ(layout.ticks.size(), 56u);  // 0, 13, ... 715
  EXPECT_EQ(layout.ticks[1].x, 13);
  EXPECT_EQ(layout.ticks[1].height, 8);
  EXPECT_EQ(layout.ticks[1].label, "");
  EXPECT_EQ(layout.ticks[10].height, 15);
  EXPECT_EQ(layout.ticks[10].label, "20 min");
  EXPECT_EQ(layout.ticks[50].label, "100 min");
  EXPECT_EQ(layout.yellowX, 47 * 13);
  EXPECT_EQ(layout.redX, 55 * 13);
  EXPECT_TRUE(layout.bands.empty());
}

TEST(GaugeLayout, MarksOutsideANarrowGaugeAreLeftOut) {
  const GaugeLayout layout = LayoutGauge(600, 32, 0);
  EXPECT_EQ(layout.tickSpacing, 11);
  EXPECT_EQ(layout.yellowX, 517);
  EXPECT_EQ(layout.redX, -1);  // 605 is past the right edge
}

TEST(GaugeLayout, FillIsCutAtTheTotalWithTheGradientAcrossTheWidth) {
  const GaugeLayout layout = LayoutGauge(720, 40, 3600);  // one hour
  EXPECT_EQ(layout.fillWidth, 13 * 3600 / 120);
  EXPECT_EQ(layout.fillTop, 3);
  EXPECT_EQ(layout.fillBottom, 40 - 18);
  ASSERT_FALSE(layout.bands.empty());
  EXPECT_EQ(layout.bands.front().left, 2);
  EXPECT_EQ(layout.bands.front().colour, gauge::kFillStart);
  EXPECT_EQ(layout.bands.back().right, 390);
  for (size_t i = 1; i < layout.bands.size(); ++i) EXPECT_EQ(layout.bands[i].left, layout.bands[i - 1].right);
  // 47 steps across 718 pixels: the fill ends in band trunc((390 - 2) * 47 / 718).
  EXPECT_EQ(layout.bands.size(), size_t((390 - 2) * 47 / 718 + 1));
  EXPECT_EQ(LayoutGauge(720, 40, 7200 * 2).bands.back().colour, gauge::kFillEnd);
}

TEST(GaugeLayout, NoFillUpToTheLeftMargin) {
  EXPECT_TRUE(LayoutGauge(720, 40, 18).bands.empty());  // 13 * 18 / 120 = 1 pixel
  EXPECT_TRUE(LayoutGauge(720, 40, 27).bands.empty());  // 2 pixels: not beyond the margin
  EXPECT_FALSE(LayoutGauge(720, 40, 28).bands.empty());
  EXPECT_TRUE(LayoutGauge(720, 10, 3600).bands.empty());  // too low for a fill
}

TEST(GaugeLayout, LabelsStayInside) {
  EXPECT_EQ(LabelLeft(100, 40, 720), 80);
  EXPECT_EQ(LabelLeft(0, 40, 720), 1);
  EXPECT_EQ(LabelLeft(710, 40, 720), 720 - 1 - 40);
}

}  // namespace
}  // namespace vantrel::app
