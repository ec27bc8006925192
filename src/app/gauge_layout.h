// SPDX-License-Identifier: GPL-3.0-or-later
// Where the duration gauge draws what: a scale of 0 to 120 minutes with a tick every two
// minutes, the 94- and 110-minute marks, and the filled part for the total length. The wx
// control paints exactly these shapes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::app {

struct GaugeColour {
  std::uint8_t r, g, b;
  bool operator==(const GaugeColour&) const = default;
};

// The scale's colour on a background of that colour: the usual near-black one, a light one
// where the background is dark.
inline GaugeColour ScaleColourOn(const GaugeColour& background);

namespace gauge {
inline constexpr GaugeColour kScale{7, 7, 9};
// The scale on a dark background (a dark skin), where the near-black one cannot be read.
inline constexpr GaugeColour kScaleOnDark{235, 235, 235};
inline constexpr GaugeColour kYellow{255, 255, 0};
inline constexpr GaugeColour kRed{255, 0, 0};
inline constexpr GaugeColour kFillStart{2, 24, 245};
inline constexpr GaugeColour kFillEnd{49, 66, 235};
inline constexpr GaugeColour kHighlight{245, 245, 245};
inline constexpr int kYellowTick = 47;  // 94 minutes
inline constexpr int kRedTick = 55;     // 110 minutes
inline constexpr int kMarginLeft = 2, kMarginTop = 3, kMarginBottom = 18;
inline constexpr int kLongTick = 15, kShortTick = 8;
inline constexpr const char* kLabelFont = "Times New Roman";
inline constexpr int kLabelPixelHeight = 12;
}  // namespace gauge

inline GaugeColour ScaleColourOn(const GaugeColour& background) {
  // Relative luminance by the usual weights, 0 to 255.
  const int luminance = (299 * background.r + 587 * background.g + 114 * background.b) / 1000;
  return luminance < 96 ? gauge::kScaleOnDark : gauge::kScale;
}

struct GaugeTick {
  int x;
  int height;         // rises from the bottom edge
  std::string label;  // "%d min" on every tenth tick, else empty
};

struct GaugeBand {
  int left, right;  // pixels [left, right)
  GaugeColour colour;
};

struct GaugeLayout {
  int width = 0, height = 0;
  int tickSpacing = 1;
  std::vector<GaugeTick> ticks;
  int yellowX = -1, redX = -1;  // -1 when the mark lies outside the control
  int fillWidth = 0;            // right end of the fill, from the client's left edge
  int fillTop = 0, fillBottom = 0;  // rows [top, bottom)
  std::vector<GaugeBand> bands;     // empty when nothing is filled
};

// The layout for a client area of width x height pixels showing `totalSeconds`.
GaugeLayout LayoutGauge(int width, int height, int totalSeconds);

// Left edge of a tick label `textWidth` wide centred on `tickX`: moved left to end one pixel
// before the right edge when it would cross it, and never left of x = 1.
int LabelLeft(int tickX, int textWidth, int width);

}  // namespace vantrel::app
