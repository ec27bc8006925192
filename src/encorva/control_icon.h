// SPDX-License-Identifier: GPL-3.0-or-later
// Icon 201, the small picture a container shows where the control sits (it is invisible
// at run time, so only design views and dialogs that draw every control show it).
#pragma once

#include <array>
#include <cstdint>

namespace vantrel::encorva {

inline constexpr int kControlIconId = 201;
inline constexpr int kIconSize = 32;  // pixels, square

// Row by row, top first, each pixel 0xAARRGGBB with the colour premultiplied by alpha: the
// layout of a cairo ARGB32 image row read as 32-bit words. Pixels are either fully opaque
// or fully transparent.
const std::array<std::uint32_t, kIconSize * kIconSize>& ControlIconPixels();

}  // namespace vantrel::encorva
