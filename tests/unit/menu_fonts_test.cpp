// SPDX-License-Identifier: GPL-3.0-or-later
// Font faces through fontconfig, the header and footer fallback, and CJK coverage.
#include <cairo.h>
#include <gtest/gtest.h>

#include "menu/logical_font.h"
#include "menu/menu_page_geometry.h"
#include "menu/text_drawing.h"
#include "unit/render_fixture.h"

namespace vantrel {
namespace {

TEST(MenuFonts, InstalledFacesIncludeDeclaredTwins) {
  EXPECT_TRUE(IsFontFaceInstalled("Arial"));  // its metric twin is installed
  EXPECT_TRUE(IsFontFaceInstalled("arial"));
  EXPECT_TRUE(IsFontFaceInstalled("Liberation Sans"));
  EXPECT_TRUE(IsFontFaceInstalled("WenQuanYi Zen Hei"));
  EXPECT_FALSE(IsFontFaceInstalled("No Such Face 42"));
  EXPECT_FALSE(IsFontFaceInstalled(""));
  EXPECT_FALSE(IsFontFaceInstalled("sans-serif"));  // a generic name, not a face
  EXPECT_FALSE(MenuFont::Create({"No Such Face 42", 30, 400, false, 1}).has_value());
  EXPECT_TRUE(MenuFont::Create({"Arial", 30, 400, false, 1}).has_value());
}

TEST(MenuFonts, PositiveHeightIsTheCellNegativeTheEm) {
  for (int height : {22, 30, 32}) {
    MenuFont cell = MenuFont::Resolve({"Arial", height, 400, false, 1});
    EXPECT_NEAR(cell.CellHeight(), height, 0.5);
    MenuFont em = MenuFont::Resolve({"Arial", -height, 400, false, 1});
    EXPECT_GT(em.CellHeight(), height + 1);  // the cell holds more than the em
  }
}

TEST(MenuFonts, ChineseTextsHaveRealGlyphs) {
  for (const char* text : {"由 Vantrel 创建", "上一页", "下一页", "1. 海边 日落 — 夜景"}) {
    EXPECT_EQ(MissingGlyphCount(text, MenuFont::Resolve({"Arial", 30, 600, false, 1})), 0) << text;
    EXPECT_EQ(MissingGlyphCount(text, MenuFont::Resolve({"Arial", 22, 500, false, 134})), 0) << text;
  }
  EXPECT_GT(MissingGlyphCount("\xF4\x8F\xBF\xBD", MenuFont::Resolve({"Arial", 22, 400, false, 1})), 0);
}

// The default header ("由 Vantrel 创建", Arial at 600) is bold throughout: its Chinese,
// which Arial lacks, is drawn as bold as its Latin, not regular beside it.
TEST(MenuFonts, ABoldHeaderIsBoldInItsChineseToo) {
  auto ink = [](const char* text, int weight) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 80);
    cairo_t* cr = cairo_create(surface);
    DrawMenuText(cr, text, MenuFont::Resolve({"Arial", 30, weight, false, 1}), Rect{0, 0, 400, 80}, 0xFFFFFF,
                 kTextLeft | kTextVerticalCentre | kTextSingleLine, true);
    cairo_surface_flush(surface);
    long sum = 0;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 400; ++x) sum += data[y * cairo_image_surface_get_stride(surface) + x * 4 + 1];
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return sum;
  };
  EXPECT_GT(ink("创建", 600), ink("创建", 400) * 11 / 10) << "the Chinese is drawn bold";
  EXPECT_GT(ink("Vantrel", 600), ink("Vantrel", 400) * 11 / 10);
  EXPECT_EQ(ink("创建", 500), ink("创建", 400)) << "a medium weight stays regular";
}

TEST(MenuFonts, UnusableHeadlineFaceFallsBackToArialAndTheSettingKeepsIt) {
  test::RenderFixture f(1);
  MenuAppearance& look = f.Look();
  look.headerFont = {"No Such Face 42", 40, 700, true, 134};
  look.footerFont = {"Also Missing", 28, 700, false, 1};
  look.footerText = "脚注";
  const LogicalFont caption{"Liberation Serif", 20, 700, true, 1};
  look.captionFont = caption;
  RgbImage page = f.Page(1);
  EXPECT_EQ(look.headerFont, (LogicalFont{"Arial", 30, 400, false, 1}));
  EXPECT_EQ(look.footerFont, (LogicalFont{"Arial", 30, 400, false, 1}));
  EXPECT_EQ(look.captionFont, caption);  // installed faces are left as they are
  // The header is still drawn, in the fallback font.
  EXPECT_GT(test::InkBox(page, PageGeometry(false).header, test::NotBlack).width, 100);
}

}  // namespace
}  // namespace vantrel
