// SPDX-License-Identifier: GPL-3.0-or-later
// The duration gauge painted on a memory bitmap of a known size: where the fill ends, where
// the ticks stand and the two dotted marks.
#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include "app/duration_gauge.h"

namespace vantrel::app {
namespace {

constexpr int kWidth = 720, kHeight = 40;

wxImage Paint(int totalSeconds, const wxColour& background = *wxWHITE) {
  wxBitmap bitmap(kWidth, kHeight, 24);
  {
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(background));
    dc.Clear();
    PaintGauge(dc, kWidth, kHeight, totalSeconds, background);
  }
  return bitmap.ConvertToImage();
}

bool Is(const wxImage& image, int x, int y, unsigned char r, unsigned char g, unsigned char b, int slack = 40) {
  return std::abs(image.GetRed(x, y) - r) <= slack && std::abs(image.GetGreen(x, y) - g) <= slack &&
         std::abs(image.GetBlue(x, y) - b) <= slack;
}
bool IsWhite(const wxImage& image, int x, int y) { return Is(image, x, y, 255, 255, 255, 10); }
bool IsScale(const wxImage& image, int x, int y) { return Is(image, x, y, 7, 7, 9, 90); }

TEST(DurationGaugeDrawing, FillEndsAtTheTotal) {
  const wxImage image = Paint(3600);  // fill width 13 * 3600 / 120 = 390
  const int middle = (3 + kHeight - 18) / 2;
  EXPECT_TRUE(Is(image, 10, middle, 2, 24, 245)) << "left end of the gradient";
  EXPECT_TRUE(Is(image, 385, middle, 2 + (49 - 2) * 25 / 46, 24 + (66 - 24) * 25 / 46, 245 - 10 * 25 / 46));
  EXPECT_TRUE(IsWhite(image, 395, middle)) << "past the fill";
  EXPECT_TRUE(IsWhite(image, 1, middle)) << "the left margin stays clear";
  EXPECT_TRUE(Is(image, 100, 3, 245, 245, 245, 12)) << "highlight line on top";
  EXPECT_TRUE(IsWhite(image, 100, kHeight - 17)) << "no fill in the scale's band";
  const wxImage empty = Paint(0);
  EXPECT_TRUE(IsWhite(empty, 10, middle));
}

TEST(DurationGaugeDrawing, TicksEveryThirteenPixelsLongOnEveryTenth) {
  const wxImage image = Paint(0);
  const int base = kHeight - 1;
  for (int x = 0; x < kWidth; ++x) EXPECT_TRUE(IsScale(image, x, base)) << "base line at " << x;
  for (int k = 1; k * 13 < kWidth; ++k) {
    const int x = k * 13;
    EXPECT_TRUE(IsScale(image, x, base - 5)) << "tick " << k;
    if (x + 6 < kWidth) {
      EXPECT_TRUE(IsWhite(image, x + 6, base - 5)) << "between ticks " << k;
    }
    if (k % 10 == 0) {
      EXPECT_TRUE(IsScale(image, x, base - 12)) << "long tick " << k;
    } else if (x != 47 * 13 && x != 55 * 13) {
      EXPECT_TRUE(IsWhite(image, x, base - 12)) << "short tick " << k;
    }
  }
}

// A dark skin's grey would hide the near-black scale: there it is drawn light, ticks and
// labels alike; light backgrounds keep the near-black scale.
TEST(DurationGaugeDrawing, TheScaleStaysReadableOnADarkBackground) {
  const wxColour dark(64, 64, 64);
  const wxImage image = Paint(0, dark);
  const int base = kHeight - 1;
  EXPECT_TRUE(Is(image, 13, base - 5, 235, 235, 235, 30)) << "a light tick";
  EXPECT_TRUE(Is(image, 300, base, 235, 235, 235, 30)) << "a light base line";
  int light = 0;  // the label "20 min" above the tenth tick
  for (int y = 0; y < base - 15; ++y)
    for (int x = 130 - 20; x < 130 + 20; ++x) light += Is(image, x, y, 235, 235, 235, 60);
  EXPECT_GT(light, 10) << "the label is drawn light";
  EXPECT_TRUE(IsScale(Paint(0, wxColour(200, 200, 200)), 13, base - 5)) << "a light grey keeps the dark scale";
}

TEST(DurationGaugeDrawing, DottedYellowAndRedMarks) {
  const wxImage image = Paint(0);
  int yellow = 0, red = 0, gaps = 0;
  for (int y = 0; y < kHeight - 18; ++y) {
    yellow += Is(image, 47 * 13, y, 255, 255, 0, 40);
    red += Is(image, 55 * 13, y, 255, 0, 0, 40);
    gaps += IsWhite(image, 47 * 13, y);
  }
  EXPECT_GE(yellow, 5) << "the 94-minute mark";
  EXPECT_GE(red, 5) << "the 110-minute mark";
  EXPECT_GE(gaps, 3) << "the mark is dotted, not solid";
}

}  // namespace
}  // namespace vantrel::app
