// SPDX-License-Identifier: GPL-3.0-or-later
// What the image builder is told, as read from its INI file.
#pragma once

#include <string>
#include <vector>

#include "menu/layout_style.h"

namespace vantrel {

struct ImageBuilderTitle {
  Rect button;  // the widened thumbnail rectangle
  std::string file;
};

struct ImageBuilderInput {
  std::string menuMovie;
  std::vector<ImageBuilderTitle> titles;
};

inline constexpr const char* kImageBuilderInfoSection = "信息";
inline constexpr const char* kImageBuilderCountKey = "选择";

// Reads and checks the INI; false with the reason when a value is missing or unusable.
bool ReadImageBuilderIni(const std::string& path, ImageBuilderInput& input, std::string& error);

}  // namespace vantrel
