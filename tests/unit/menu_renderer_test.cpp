// SPDX-License-Identifier: GPL-3.0-or-later
// The page picture and the button images: geometry, texts, shadows, thumbnails,
// background pictures and the palette of the button files.
#include "menu/menu_renderer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

#include <png.h>

#include "base/paths.h"
#include "base/translation.h"
#include "menu/logical_font.h"
#include "menu/menu_page_geometry.h"
#include "menu/text_drawing.h"
#include "unit/render_fixture.h"

namespace vantrel {
namespace {

using test::InkBox;
using test::Near;
using test::NotBlack;
using test::PixelAt;

bool Contains(const Rect& outer, const Rect& inner) {
  return inner.width == 0 || (inner.left >= outer.left && inner.top >= outer.top &&
                              inner.Right() <= outer.Right() && inner.Bottom() <= outer.Bottom());
}

TEST(MenuPageGeometry, PalAndNtscRectangles) {
  MenuPageGeometry pal = PageGeometry(false);
  EXPECT_EQ(pal.header, EdgeRect(80, 40, 560, 96));
  EXPECT_EQ(pal.pageCounter, EdgeRect(570, 40, 640, 96));
  EXPECT_EQ(pal.headerLineY, 100);
  EXPECT_EQ(pal.footer, EdgeRect(180, 480, 480, 536));
  EXPECT_EQ(pal.footerLineY, 470);
  EXPECT_EQ(pal.previousLabel, EdgeRect(80, 480, 220, 536));
  EXPECT_EQ(pal.nextLabel, EdgeRect(500, 480, 680, 536));

  MenuPageGeometry ntsc = PageGeometry(true);
  EXPECT_EQ(ntsc.header, EdgeRect(80, 33, 560, 80));
  EXPECT_EQ(ntsc.pageCounter, EdgeRect(570, 33, 640, 80));
  EXPECT_EQ(ntsc.headerLineY, 83);
  EXPECT_EQ(ntsc.footer, EdgeRect(180, 400, 480, 446));
  EXPECT_EQ(ntsc.footerLineY, 391);
  EXPECT_EQ(ntsc.previousLabel, EdgeRect(80, 400, 220, 446));
  EXPECT_EQ(ntsc.nextLabel, EdgeRect(500, 400, 680, 446));
}

// Rules are 3 px on their row, and every text stays inside its rectangle, in both standards.
TEST(MenuRenderer, RulesAndTextsLandOnThePageGeometry) {
  for (bool ntsc : {false, true}) {
    SCOPED_TRACE(ntsc ? "NTSC" : "PAL");
    test::RenderFixture f(13, ntsc);
    f.Look().headerText = "由 Vantrel 创建";
    f.Look().footerText = "footer 脚注";
    const MenuPageGeometry g = PageGeometry(ntsc);
    RgbImage page = f.Page(2);  // the middle page has both labels
    ASSERT_EQ(page.height, ntsc ? 480 : 576);
    for (int lineY : {g.headerLineY, g.footerLineY}) {
      for (int y = lineY - 1; y <= lineY + 1; ++y) EXPECT_EQ(PixelAt(page, 360, y), 0xFFFFFFu) << y;
      EXPECT_EQ(PixelAt(page, 360, lineY - 2), 0u);
      EXPECT_EQ(PixelAt(page, 360, lineY + 2), 0u);
      EXPECT_EQ(PixelAt(page, 70, lineY), 0u);  // the rule starts at x 75
    }
    // Nothing but the header and the page counter above the header rule.
    Rect above{0, 0, 720, g.headerLineY - 1};
    Rect headerInk = InkBox(page, Rect{0, 0, 565, g.headerLineY - 1}, NotBlack);
    Rect counterInk = InkBox(page, Rect{565, 0, 155, g.headerLineY - 1}, NotBlack);
    EXPECT_GT(headerInk.width, 100);
    EXPECT_TRUE(Contains(g.header, headerInk));
    EXPECT_GT(counterInk.width, 20);
    EXPECT_TRUE(Contains(g.pageCounter, counterInk));
    EXPECT_EQ(InkBox(page, above, NotBlack).Right(), counterInk.Right());
    // Below the footer rule: the two labels and the footer, each in its own rectangle.
    Rect prevInk = InkBox(page, Rect{0, g.footerLineY + 2, 179, 100}, NotBlack);
    Rect footInk = InkBox(page, Rect{179, g.footerLineY + 2, 300, 100}, NotBlack);
    Rect nextInk = InkBox(page, Rect{490, g.footerLineY + 2, 230, 100}, NotBlack);
    EXPECT_TRUE(Contains(g.previousLabel, prevInk) && prevInk.width > 40);
    EXPECT_LE(prevInk.left, g.previousLabel.left + 3);  // left-aligned
    EXPECT_TRUE(Contains(EdgeRect(179, g.footer.top - 1, 480, g.footer.Bottom()), footInk) && footInk.width > 40);
    EXPECT_TRUE(Contains(g.nextLabel, nextInk) && nextInk.width > 40);
    // Centred: the label's middle is the rectangle's middle.
    EXPECT_NEAR(nextInk.left + nextInk.width / 2.0, 590, 3);
    // Vertically centred texts: the same space above and below, within a few pixels.
    EXPECT_NEAR(prevInk.top - g.previousLabel.top, g.previousLabel.Bottom() - prevInk.Bottom(), 8);
  }
}

TEST(MenuRenderer, PageCounterShowsPageOfPageCount) {
  test::RenderFixture f(13);
  f.Look().headerText.clear();
  const Rect counter = PageGeometry(false).pageCounter;
  for (int k = 1; k <= 3; ++k) {
    // The counter as it should read, drawn on its own into an empty frame.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 720, 576);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    DrawMenuText(cr, std::to_string(k) + "/3", MenuFont::Resolve(f.Look().pageNumberFont), counter,
                 0xFFFFFF, kTextCentre | kTextVerticalCentre | kTextSingleLine, true);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    RgbImage page = f.Page(k);
    int differing = 0;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = counter.top; y < counter.Bottom(); ++y)
      for (int x = counter.left; x < counter.Right(); ++x) {
        std::uint32_t expected = reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(surface))[x] & 0xFFFFFF;
        differing += PixelAt(page, x, y) != expected;
      }
    cairo_surface_destroy(surface);
    EXPECT_EQ(differing, 0) << "page " << k;
  }
  // And the pages do differ there.
  EXPECT_NE(InkBox(f.Page(1), counter, NotBlack), Rect{});
  RgbImage one = f.Page(1), three = f.Page(3);
  int changed = 0;
  for (int y = counter.top; y < counter.Bottom(); ++y)
    for (int x = counter.left; x < counter.Right(); ++x) changed += PixelAt(one, x, y) != PixelAt(three, x, y);
  EXPECT_GT(changed, 10);
}

TEST(MenuRenderer, AOnePageMenuShowsNoPageCounter) {
  test::RenderFixture f(3);  // three titles fit on one page
  f.Look().headerText.clear();
  EXPECT_EQ(InkBox(f.Page(1), PageGeometry(false).pageCounter, NotBlack), Rect{});
}

TEST(MenuRenderer, HeaderShadowShowsTwoPixelsRightAndBelowAndFooterOne) {
  test::RenderFixture f(1);
  MenuAppearance& look = f.Look();
  look.headerText = "由 Vantrel 创建";
  look.footerText = "Vantrel 脚注";
  look.headerShadowColour = look.footerShadowColour = 0x0000FF;  // red
  RgbImage page = f.Page(1);
  // Text pixels have green in them (white, grey, or white blended over the shadow);
  // pixels of the shadow alone are pure shades of red.
  auto white = [](std::uint32_t c) { return ((c >> 8) & 0xFF) > 0; };
  auto red = [](std::uint32_t c) { return c != 0 && (c & 0xFFFF) == 0; };
  const MenuPageGeometry g = PageGeometry(false);
  Rect headerArea{0, 0, 565, g.headerLineY - 2};
  Rect text = InkBox(page, headerArea, white), shadow = InkBox(page, headerArea, red);
  ASSERT_GT(text.width, 100);
  EXPECT_EQ(shadow.Right() - text.Right(), 2);
  EXPECT_EQ(shadow.Bottom() - text.Bottom(), 2);
  // Centred in 80..560, less the 2 px the text is moved.
  EXPECT_NEAR(text.left + text.width / 2.0, 318, 3);
  Rect footerArea{179, g.footerLineY + 2, 302, 100};
  Rect ftext = InkBox(page, footerArea, white), fshadow = InkBox(page, footerArea, red);
  ASSERT_GT(ftext.width, 50);
  EXPECT_EQ(fshadow.Right() - ftext.Right(), 1);
  EXPECT_EQ(fshadow.Bottom() - ftext.Bottom(), 1);

  look.headerShadow = look.footerShadow = false;
  EXPECT_EQ(InkBox(f.Page(1), test::WholeFrame(page), red).width, 0);
}

TEST(MenuRenderer, ThumbnailsAreStretchedOntoTheirRectanglesAndCaptionsFollow) {
  test::RenderFixture f(2);
  RgbImage page = f.Page(1);
  for (int i = 0; i < 2; ++i) {
    const MenuEntry& entry = f.model.Title(i);
    const Rect& t = entry.ThumbnailRect;
    RgbImage thumb = test::GradientThumbnail(i);
    // Corners and middle of the rectangle show the thumbnail's corners and middle.
    EXPECT_TRUE(Near(PixelAt(page, t.left + 1, t.top + 1), PixelAt(thumb, 0, 0), 12));
    EXPECT_TRUE(Near(PixelAt(page, t.Right() - 2, t.Bottom() - 2), PixelAt(thumb, 79, 59), 12));
    EXPECT_TRUE(Near(PixelAt(page, t.left + t.width / 2, t.top + t.height / 2), PixelAt(thumb, 40, 30), 12));
    EXPECT_EQ(PixelAt(page, t.left - 2, t.top + 5), 0u);  // nothing spills over
    Rect caption = InkBox(page, entry.CaptionRect, NotBlack);
    EXPECT_GT(caption.width, 40);
    EXPECT_LE(caption.left, entry.CaptionRect.left + 2);  // left, top
    EXPECT_LE(caption.top, entry.CaptionRect.top + 8);
  }
}

// What a background picture path does: listed extensions in any case load the picture,
// an unlisted or missing extension or an unreadable file leaves the background undrawn
// while the rest of the page is drawn.
TEST(MenuRenderer, BackgroundPictureByExtension) {
  test::RenderFixture f(1);
  MenuAppearance& look = f.Look();
  look.backgroundColour = 0x00FF00;  // green: must not show once a picture is named
  const std::string png = f.temp / "picture.png";
  ASSERT_TRUE(test::WriteTwoColourPicture(png, PictureFormat::kPng, 0xFF0000, 0x0000FF));
  const std::string upper = f.temp / "x.JPG";
  ASSERT_TRUE(test::WriteTwoColourPicture(upper, PictureFormat::kJpeg, 0xFF0000, 0x0000FF));
  std::filesystem::copy_file(png, f.temp / "x.psd");
  std::filesystem::copy_file(png, f.temp / "x");
  test::WriteText(f.temp / "broken.png", "not a picture");

  look.backgroundPicture.clear();
  EXPECT_EQ(PixelAt(f.Page(1), 150, 360), 0x00FF00u);  // no picture: the colour
  look.backgroundPicture = upper;
  RgbImage loaded = f.Page(1);
  EXPECT_TRUE(Near(PixelAt(loaded, 150, 360), 0xFF0000, 40));
  EXPECT_TRUE(Near(PixelAt(loaded, 570, 360), 0x0000FF, 40));
  for (const std::string& name : {f.temp / "x.psd", f.temp / "x", f.temp / "broken.png", f.temp / "gone.png"}) {
    SCOPED_TRACE(name);
    look.backgroundPicture = name;
    RgbImage page = f.Page(1);
    EXPECT_EQ(PixelAt(page, 150, 360), 0u);
    EXPECT_EQ(PixelAt(page, 570, 360), 0u);
    EXPECT_GT(InkBox(page, PageGeometry(false).header, NotBlack).width, 100);  // the rest is drawn
    EXPECT_EQ(PixelAt(page, 360, 100), 0xFFFFFFu);
  }
}

TEST(MenuRenderer, BackgroundInEveryListedFormat) {
  const std::pair<const char*, PictureFormat> kFiles[] = {
      {"bmp", PictureFormat::kBmp}, {"jpg", PictureFormat::kJpeg},  {"jpeg", PictureFormat::kJpeg},
      {"gif", PictureFormat::kGif}, {"png", PictureFormat::kPng},   {"ico", PictureFormat::kIco},
      {"tif", PictureFormat::kTiff}, {"tiff", PictureFormat::kTiff}, {"tga", PictureFormat::kTga},
      {"pcx", PictureFormat::kPcx}, {"wmf", PictureFormat::kWmf}};
  test::RenderFixture f(1);
  for (const auto& [ext, format] : kFiles) {
    SCOPED_TRACE(ext);
    const std::string path = f.temp / (std::string("背景 'pic' $x.") + ext);
    ASSERT_TRUE(test::WriteTwoColourPicture(path, format, 0xFF0000, 0x0000FF));
    ASSERT_EQ(PictureFormatForPath(path), format);
    f.Look().backgroundPicture = path;
    RgbImage page = f.Page(1);
    EXPECT_TRUE(Near(PixelAt(page, 150, 360), 0xFF0000, 40)) << std::hex << PixelAt(page, 150, 360);
    EXPECT_TRUE(Near(PixelAt(page, 570, 360), 0x0000FF, 40)) << std::hex << PixelAt(page, 570, 360);
    EXPECT_TRUE(Near(PixelAt(page, 2, 2), 0xFF0000, 40));  // stretched over the whole frame
    EXPECT_TRUE(Near(PixelAt(page, 717, 573), 0x0000FF, 40));
  }
}

// The button images hold only the captions and the navigation labels, in the kind's
// colour on black, with at most two colours in a 16-entry 4-bit palette — also when the
// highlight and select fonts differ from the normal one.
TEST(MenuRenderer, ButtonImagesHoldCaptionsAndLabelsInTwoColours) {
  test::RenderFixture f(13);
  MenuAppearance& look = f.Look();
  look.highlightFont = LogicalFont{"Arial", 26, 700, true, 1};
  look.selectFont = LogicalFont{"Liberation Serif", 24, 400, false, 134};
  look.footerText = "footer";
  const std::string picture = f.temp / "bg.png";
  ASSERT_TRUE(test::WriteTwoColourPicture(picture, PictureFormat::kPng, 0xFFFFFF, 0x808080));
  look.backgroundPicture = picture;
  for (int kind = kMenuNormalButtons; kind <= kMenuSelectedButtons; ++kind) ASSERT_TRUE(f.renderer->Render(kind));

  const MenuPageGeometry g = PageGeometry(false);
  const std::pair<int, Colour> kKinds[] = {{kMenuNormalButtons, look.captionColour},
                                           {kMenuHighlightedButtons, look.highlightColour},
                                           {kMenuSelectedButtons, look.selectColour}};
  for (int k = 1; k <= 3; ++k) {
    const MenuPage& page = f.model.Page(k - 1);
    std::vector<Rect> allowed{g.previousLabel, g.nextLabel};
    for (const MenuEntry* e : page.Titles) allowed.push_back(e->CaptionRect);
    for (const auto& [kind, colour] : kKinds) {
      SCOPED_TRACE("page " + std::to_string(k) + " kind " + std::to_string(kind));
      test::PngFacts png;
      ASSERT_TRUE(test::ReadPalettePng(f.temp / MenuRenderer::ImageFileName(kind, k), png));
      EXPECT_EQ(png.width, 720);
      EXPECT_EQ(png.height, 576);
      EXPECT_EQ(png.bitDepth, 4);
      EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_PALETTE);
      EXPECT_EQ(png.paletteEntries, 16);
      std::set<std::uint32_t> used;
      const std::uint32_t rgb = (std::uint32_t(ColourRed(colour)) << 16) | (ColourGreen(colour) << 8) | ColourBlue(colour);
      std::vector<int> inkPerRect(allowed.size(), 0);
      int stray = 0;
      for (int y = 0; y < png.height; ++y)
        for (int x = 0; x < png.width; ++x) {
          std::uint32_t c = png.palette[png.indices[size_t(y) * 720 + size_t(x)]];
          used.insert(c);
          if (c == 0) continue;
          EXPECT_EQ(c, rgb);
          bool inside = false;
          for (size_t r = 0; r < allowed.size(); ++r)
            if (x >= allowed[r].left && x < allowed[r].Right() && y >= allowed[r].top && y < allowed[r].Bottom())
              inside = true, ++inkPerRect[r];
          stray += !inside;
        }
      EXPECT_LE(used.size(), 2u);
      EXPECT_EQ(png.palette[png.indices[0]], 0u);  // black where nothing is
      EXPECT_EQ(stray, 0);
      for (size_t r = 2; r < allowed.size(); ++r) EXPECT_GT(inkPerRect[r], 30) << "caption " << r - 1;
      EXPECT_EQ(inkPerRect[0] > 0, page.Previous != nullptr);
      EXPECT_EQ(inkPerRect[1] > 0, page.Next != nullptr);
    }
  }
}

// "上一页" and "下一页" are the program's words and follow the user's language; the captions,
// the user's, stay as they are.
TEST(MenuRenderer, PageLabelsFollowTheLanguageAndCaptionsStay) {
  const std::vector<std::string> folders = LocaleFolders(std::string(VANTREL_APP_BUILD_DIR) + "/");
  const MenuPageGeometry g = PageGeometry(false);
  // The second page has both labels. Ink per region: the two labels, then everything else.
  auto ink = [&](const char* language) {
    EXPECT_TRUE(UseLanguage(language, folders));
    test::RenderFixture f(13);
    EXPECT_TRUE(f.renderer->Render(kMenuNormalButtons));
    test::PngFacts png;
    EXPECT_TRUE(test::ReadPalettePng(f.temp / MenuRenderer::ImageFileName(kMenuNormalButtons, 2), png));
    std::vector<std::uint8_t> rest;
    int previous = 0, next = 0;
    for (int y = 0; y < png.height; ++y)
      for (int x = 0; x < png.width; ++x) {
        const bool on = png.palette[png.indices[size_t(y) * 720 + size_t(x)]] != 0;
        auto in = [&](const Rect& r) { return x >= r.left && x < r.Right() && y >= r.top && y < r.Bottom(); };
        if (in(g.previousLabel)) previous += on;
        else if (in(g.nextLabel)) next += on;
        else rest.push_back(on);
      }
    return std::make_tuple(previous, next, rest);
  };
  const auto [zhPrevious, zhNext, zhRest] = ink("zh_CN");
  const auto [enPrevious, enNext, enRest] = ink("en");
  UseLanguage("zh_CN", folders);
  EXPECT_GT(zhPrevious, 30);
  EXPECT_GT(enPrevious, 30);
  EXPECT_NE(zhPrevious, enPrevious) << "\"Previous\" is drawn, not \"上一页\"";
  EXPECT_NE(zhNext, enNext);
  EXPECT_TRUE(zhRest == enRest) << "the captions do not change with the language";
}

TEST(MenuRenderer, RenderWritesEveryPageOfAKind) {
  test::RenderFixture f(13);
  EXPECT_TRUE(f.renderer->Render(kMenuBackground));
  for (int k = 1; k <= 3; ++k) {
    const std::string jpeg = f.temp / MenuRenderer::ImageFileName(kMenuBackground, k);
    EXPECT_GT(FileSize(jpeg), 1000u);
    test::StreamFacts facts = test::ProbeStream(jpeg);
    EXPECT_EQ(facts.videoCodec, "mjpeg");
    EXPECT_EQ(facts.videoWidth, 720);
    EXPECT_EQ(facts.videoHeight, 576);
  }
  EXPECT_FALSE(FileExists(f.temp / "menu_background04.jpg"));
  EXPECT_EQ(MenuRenderer::ImageFileName(kMenuHighlightedButtons, 7), "button_highlighted07.png");
  EXPECT_FALSE(f.renderer->Render(5));

  // A folder that cannot be written: false, and nothing half-written left behind.
  MenuRenderer nowhere(f.model, f.titles.Thumbnails(), {false, true, true, f.temp / "missing/"});
  EXPECT_FALSE(nowhere.Render(kMenuBackground));
  EXPECT_FALSE(nowhere.Render(kMenuNormalButtons));
}

// The designer's preview draws the same page into its own window at its own size.
TEST(MenuRenderer, DrawPageScalesOntoAnyTarget) {
  test::RenderFixture f(13);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 320);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0, 1, 0);
  cairo_paint(cr);
  f.renderer->DrawPage(cr, Rect{20, 16, 360, 288}, 1);  // half size, offset
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  auto at = [&](int x, int y) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    return reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(surface))[x] & 0xFFFFFF;
  };
  EXPECT_EQ(at(10, 10), 0x00FF00u);    // outside the target: untouched
  EXPECT_EQ(at(390, 310), 0x00FF00u);
  EXPECT_EQ(at(200, 16 + 50), 0xFFFFFFu);  // the header rule at y 100 / 2
  EXPECT_EQ(at(200, 16 + 55), 0u);
  const MenuEntry& first = f.model.Title(0);
  std::uint32_t thumb = at(20 + (first.ThumbnailRect.left + 40) / 2, 16 + (first.ThumbnailRect.top + 30) / 2);
  EXPECT_NE(thumb, 0u);
  cairo_surface_destroy(surface);
}

// The sub-picture can show only two shapes among the three button images.
TEST(MenuRenderer, SelectedButtonsNeverMakeAThirdShape) {
  test::RenderFixture f(3);
  MenuAppearance& look = f.Look();
  auto shape = [&](int kind) {
    RgbImage image = f.Page(1, kind);
    std::vector<bool> ink;
    for (size_t i = 0; i < image.pixels.size(); i += 3)
      ink.push_back(image.pixels[i] || image.pixels[i + 1] || image.pixels[i + 2]);
    return ink;
  };
  const LogicalFont other{"Arial", 26, 700, true, 1}, third{"Liberation Serif", 20, 400, false, 1};
  look.highlightFont = other;
  look.selectFont = third;  // unlike both: drawn in the highlight's shape
  EXPECT_EQ(shape(kMenuSelectedButtons), shape(kMenuHighlightedButtons));
  EXPECT_NE(shape(kMenuSelectedButtons), shape(kMenuNormalButtons));
  look.selectFont = look.captionFont;  // like the normal font: its own shape
  EXPECT_EQ(shape(kMenuSelectedButtons), shape(kMenuNormalButtons));
  look.highlightFont = look.captionFont;
  look.selectFont = third;  // two shapes in all: kept
  EXPECT_NE(shape(kMenuSelectedButtons), shape(kMenuNormalButtons));
  EXPECT_EQ(look.selectFont, third);  // the setting itself is not changed
}

}  // namespace
}  // namespace vantrel
