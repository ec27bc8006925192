// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/gauge_layout.h"

#include <algorithm>
#include <cstdlib>

#include "base/text_format.h"

namespace vantrel::app {
namespace {

std::uint8_t Blend(std::uint8_t from, std::uint8_t to, int step, int steps) {
  return std::uint8_t(from + (int(to) - int(from)) * step / steps);
}

}  // namespace

int LabelLeft(int tickX, int textWidth, int width) {
  int left = tickX - textWidth / 2;
  if (left + textWidth > width - 1) left = width - 1 - textWidth;
  return std::max(left, 1);
}

GaugeLayout LayoutGauge(int width, int height, int totalSeconds) {
  using namespace gauge;
  GaugeLayout out;
  out.width = width;
  out.height = height;
  out.tickSpacing = 1 + width / 60;
  const int t = out.tickSpacing;
  for (int k = 0; k * t < width; ++k) {
    const bool tenth = k % 10 == 0;
    out.ticks.push_back({k * t, tenth ? kLongTick : kShortTick, tenth ? Format("%d min", 2 * k) : ""});
  }
  if (kYellowTick * t < width) out.yellowX = kYellowTick * t;
  if (kRedTick * t < width) out.redX = kRedTick * t;

  out.fillWidth = int(static_cast<long long>(t) * std::max(totalSeconds, 0) / 120);
  out.fillTop = kMarginTop;
  out.fillBottom = height - kMarginBottom;
  const int left = kMarginLeft, right = width;  // the gradient spans the shrunk client area
  if (out.fillWidth <= left || out.fillBottom <= out.fillTop || right <= left) return out;

  const int steps = std::max({std::abs(kFillEnd.r - kFillStart.r), std::abs(kFillEnd.g - kFillStart.g),
                              std::abs(kFillEnd.b - kFillStart.b), 1});
  const int span = right - left;
  for (int i = 0; i < steps; ++i) {
    const int bandLeft = left + span * i / steps;
    int bandRight = left + span * (i + 1) / steps;
    if (bandRight <= bandLeft) continue;
    if (bandLeft >= out.fillWidth) break;
    bandRight = std::min(bandRight, out.fillWidth);
    out.bands.push_back({bandLeft, bandRight,
                         {Blend(kFillStart.r, kFillEnd.r, i, steps - 1 ? steps - 1 : 1),
                          Blend(kFillStart.g, kFillEnd.g, i, steps - 1 ? steps - 1 : 1),
                          Blend(kFillStart.b, kFillEnd.b, i, steps - 1 ? steps - 1 : 1)}});
  }
  return out;
}

}  // namespace vantrel::app
