// SPDX-License-Identifier: GPL-3.0-or-later
// Menu pages over the shipped layout (style 0: six buttons per page) with thumbnails, and
// small helpers for looking at rendered pixels.
#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "base/rgb_image.h"
#include "menu/menu_model.h"
#include "menu/menu_renderer.h"
#include "project/title_list.h"
#include "support/pictures.h"
#include "support/temp_folder.h"

namespace vantrel::test {

inline std::uint32_t PixelAt(const RgbImage& image, int x, int y) {
  const std::uint8_t* p = image.Row(y) + x * 3;
  return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
}

inline bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {16, 8, 0})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

// Bounding box of the pixels inside `area` for which `pick` holds; width 0 when none.
template <typename Pick>
Rect InkBox(const RgbImage& image, const Rect& area, Pick pick) {
  int left = area.Right(), top = area.Bottom(), right = area.left, bottom = area.top;
  for (int y = std::max(0, area.top); y < std::min(image.height, area.Bottom()); ++y)
    for (int x = std::max(0, area.left); x < std::min(image.width, area.Right()); ++x)
      if (pick(PixelAt(image, x, y))) {
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x + 1), bottom = std::max(bottom, y + 1);
      }
  if (right <= left) return Rect{};
  return Rect{left, top, right - left, bottom - top};
}

inline bool NotBlack(std::uint32_t c) { return c != 0; }
inline Rect WholeFrame(const RgbImage& image) { return Rect{0, 0, image.width, image.height}; }

class RenderFixture {
 public:
  explicit RenderFixture(int titleCount = 13, bool ntsc = false)
      : model(std::string(VANTREL_SOURCE_DIR) + "/data/layout.ini") {
    for (int i = 0; i < titleCount; ++i) {
      auto r = std::make_unique<TitleRecord>();
      r->SourcePath = "/v/t" + std::to_string(i + 1) + ".mpg";
      r->DisplayTitle = i % 2 ? "海边 日落" : "city lights";
      int index = titles.Thumbnails().Add(GradientThumbnail(i));
      titles.AppendTitle(std::move(r), index);
    }
    Layout(ntsc);
  }
  void Layout(bool ntsc) {
    model.Rebuild(titles, 0, ntsc);
    renderer = std::make_unique<MenuRenderer>(
        model, titles.Thumbnails(), MenuRenderOptions{ntsc, true, true, temp.Path() + "/"});
  }
  RgbImage Page(int number, int kind = kMenuBackground) { return renderer->RenderPageImage(number, kind); }
  MenuAppearance& Look() { return model.Appearance(); }

  TempFolder temp;
  TitleList titles;
  MenuModel model;
  std::unique_ptr<MenuRenderer> renderer;
};

}  // namespace vantrel::test
