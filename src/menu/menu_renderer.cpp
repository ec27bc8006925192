// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/menu_renderer.h"

#include <cairo.h>

#include <cstring>
#include <optional>

#include "base/text_format.h"
#include "base/translation.h"
#include "menu/image_files.h"
#include "menu/logical_font.h"
#include "menu/menu_model.h"
#include "menu/menu_page_geometry.h"
#include "menu/octree_quantizer.h"
#include "menu/picture_loader.h"
#include "menu/text_drawing.h"
#include "project/app_settings.h"
#include "project/thumbnail_image_list.h"

namespace vantrel {
namespace {

// The program's own words on the pages, in the user's language (the titles' captions and the
// header and footer are the user's).
constexpr const char* kPreviousLabel = N_("上一页");
constexpr const char* kNextLabel = N_("下一页");
constexpr const char* kPlayAllLabel = N_("全部播放");
constexpr const char* kBackLabel = N_("返回");
// The sub-picture overlay may use very few colours; two leaves black and the caption.
constexpr int kButtonColours = 2;
constexpr int kButtonColourBits = 8;

void SetColour(cairo_t* cr, Colour c) {
  cairo_set_source_rgb(cr, ColourRed(c) / 255.0, ColourGreen(c) / 255.0, ColourBlue(c) / 255.0);
}

cairo_surface_t* SurfaceFromPicture(const Picture& picture) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(data + size_t(y) * size_t(stride), picture.pixels.data() + size_t(y) * size_t(picture.width),
                size_t(picture.width) * 4);
  cairo_surface_mark_dirty(surface);
  return surface;
}

cairo_surface_t* SurfaceFromRgb(const RgbImage& image) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < image.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + size_t(y) * size_t(stride));
    const std::uint8_t* src = image.Row(y);
    for (int x = 0; x < image.width; ++x)
      row[x] = (std::uint32_t(src[x * 3]) << 16) | (std::uint32_t(src[x * 3 + 1]) << 8) | src[x * 3 + 2];
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

// Draws a whole surface stretched over a rectangle with a smooth filter.
void DrawStretched(cairo_t* cr, cairo_surface_t* surface, double left, double top, double width,
                   double height) {
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  if (w <= 0 || h <= 0 || width <= 0 || height <= 0) return;
  cairo_save(cr);
  cairo_rectangle(cr, left, top, width, height);
  cairo_clip(cr);
  cairo_translate(cr, left, top);
  cairo_scale(cr, width / w, height / h);
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_paint(cr);
  cairo_restore(cr);
}

// A title's button is numbered by its title, a chapter's by its chapter.
std::string CaptionText(const MenuEntry& entry) {
  return Format("%d. ", entry.Chapter > 0 ? entry.Chapter : entry.TitleNumber) + entry.Caption;
}

}  // namespace

MenuRenderOptions MenuRenderOptions::FromSettings(const AppSettings& settings,
                                                  std::string intermediateFolder) {
  return {settings.IsNtsc(), settings.headline != 0, settings.footline != 0,
          std::move(intermediateFolder)};
}

MenuRenderer::MenuRenderer(MenuModel& model, const ThumbnailImageList& thumbnails,
                           MenuRenderOptions options)
    : model_(model), thumbnails_(thumbnails), options_(std::move(options)) {}

MenuRenderer::~MenuRenderer() {
  if (canvas_) cairo_surface_destroy(canvas_);
  if (picture_) cairo_surface_destroy(picture_);
}

std::string MenuRenderer::ImageFileName(int kind, int pageNumber) {
  switch (kind) {
    case kMenuBackground: return Format("menu_background%02d.jpg", pageNumber);
    case kMenuNormalButtons: return Format("button_normal%02d.png", pageNumber);
    case kMenuHighlightedButtons: return Format("button_highlighted%02d.png", pageNumber);
    case kMenuSelectedButtons: return Format("button_selected%02d.png", pageNumber);
    default: return std::string();
  }
}

const MenuPage* MenuRenderer::PageNumbered(int pageNumber) const {
  for (int i = 0; i < model_.PageCount(); ++i)
    if (model_.Page(i).Number == pageNumber) return &model_.Page(i);
  return nullptr;
}

bool MenuRenderer::Render(int kind) {
  if (ImageFileName(kind, 1).empty()) return false;
  bool ok = true;
  for (int i = 0; i < model_.PageCount(); ++i) {
    const int number = model_.Page(i).Number;
    RgbImage image = RenderPageImage(number, kind);
    const std::string path = options_.intermediateFolder + ImageFileName(kind, number);
    if (kind == kMenuBackground)
      ok = WriteJpeg(path, image) && ok;
    else
      ok = WritePalettePng(path, QuantizeOctree(image, kButtonColours, kButtonColourBits)) && ok;
  }
  return ok;
}

RgbImage MenuRenderer::RenderPageImage(int pageNumber, int kind) {
  cairo_t* cr = ClearedCanvas();
  const Rect frame{0, 0, kFrameWidth, FrameHeight()};
  if (kind == kMenuBackground)
    DrawPage(cr, frame, pageNumber);
  else
    DrawButtons(cr, frame, pageNumber, kind);
  cairo_destroy(cr);
  return CanvasImage();
}

std::string MenuRenderer::LayerFileName(int pageNumber) { return Format("menu_layer%02d.png", pageNumber); }

bool MenuRenderer::RenderFilmLayers() {
  const MenuMotion& motion = model_.Choices().motion;
  if (!motion.Moving()) return true;
  bool ok = true;
  for (int i = 0; i < model_.PageCount(); ++i) {
    const int page = model_.Page(i).Number;
    ok = WritePageLayer(options_.intermediateFolder + LayerFileName(page),
                        RenderPageLayer(page, motion.backgroundVideo.empty())) && ok;
  }
  return ok;
}

PageLayer MenuRenderer::RenderPageLayer(int pageNumber, bool withBackground) {
  PageLayer layer;
  const MenuPage* page = PageNumbered(pageNumber);
  if (!page) return layer;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kFrameWidth, FrameHeight());
  cairo_t* cr = cairo_create(surface);
  drawBackground_ = withBackground;
  DrawPageContent(cr, *page);
  drawBackground_ = true;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  layer.width = kFrameWidth;
  layer.height = FrameHeight();
  layer.pixels.resize(std::size_t(layer.width) * std::size_t(layer.height));
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < layer.height; ++y)
    std::memcpy(layer.pixels.data() + std::size_t(y) * std::size_t(layer.width), data + std::size_t(y) * std::size_t(stride),
                std::size_t(layer.width) * 4);
  cairo_surface_destroy(surface);
  return layer;
}

void MenuRenderer::BeginFrame(cairo_t* cr, const Rect& target) {
  cairo_save(cr);
  cairo_rectangle(cr, target.left, target.top, target.width, target.height);
  cairo_clip(cr);
  cairo_translate(cr, target.left, target.top);
  cairo_scale(cr, double(target.width) / kFrameWidth, double(target.height) / FrameHeight());
}

void MenuRenderer::DrawPage(cairo_t* cr, const Rect& target, int pageNumber) {
  const MenuPage* page = PageNumbered(pageNumber);
  if (!page || target.width <= 0 || target.height <= 0) return;
  BeginFrame(cr, target);
  DrawPageContent(cr, *page);
  cairo_restore(cr);
}

void MenuRenderer::DrawButtons(cairo_t* cr, const Rect& target, int pageNumber, int kind) {
  const MenuPage* page = PageNumbered(pageNumber);
  if (!page || target.width <= 0 || target.height <= 0) return;
  BeginFrame(cr, target);
  DrawButtonContent(cr, *page, kind);
  cairo_restore(cr);
}

void MenuRenderer::DrawPageContent(cairo_t* cr, const MenuPage& page) {
  const MenuAppearance& look = model_.Appearance();
  if (drawBackground_) DrawBackground(cr);
  // A chapter page is headed by its title's caption; its footer band holds the way back.
  const MenuEntry* title = page.ChaptersOf > 0 && page.ChaptersOf <= model_.TitleCount()
                               ? model_.Titles()[std::size_t(page.ChaptersOf - 1)].get()
                               : nullptr;
  DrawHeadline(cr, true, title ? &title->Caption : nullptr);
  // Pages are counted among the pages of titles, or among the chapter pages of one title;
  // a menu of one page has no page to count.
  int first = 1, count = 0;
  for (int i = 0; i < model_.PageCount(); ++i)
    if (model_.Page(i).ChaptersOf == page.ChaptersOf && count++ == 0) first = model_.Page(i).Number;
  if (count > 1) {
    MenuFont counterFont = MenuFont::Resolve(look.pageNumberFont);
    DrawMenuText(cr, Format("%d/%d", page.Number - first + 1, count), counterFont,
                 PageGeometry(options_.ntsc).pageCounter, look.headerColour,
                 kTextCentre | kTextVerticalCentre | kTextSingleLine, true);
  }
  if (options_.headerLine) DrawRule(cr, PageGeometry(options_.ntsc).headerLineY);
  if (!page.Back) DrawHeadline(cr, false);
  if (options_.footerLine) DrawRule(cr, PageGeometry(options_.ntsc).footerLineY);

  MenuFont captionFont = MenuFont::Resolve(look.captionFont);
  for (const MenuEntry* entry : page.Titles) {
    DrawThumbnail(cr, *entry);
    DrawMenuText(cr, CaptionText(*entry), captionFont, entry->CaptionRect, look.captionColour,
                 kTextLeft, true);
  }
  DrawNavigationLabels(cr, page, look.footerColour, true);
}

void MenuRenderer::DrawButtonContent(cairo_t* cr, const MenuPage& page, int kind) {
  const MenuAppearance& look = model_.Appearance();
  const LogicalFont* font = &look.captionFont;
  Colour colour = look.captionColour;
  if (kind == kMenuHighlightedButtons) font = &look.highlightFont, colour = look.highlightColour;
  if (kind == kMenuSelectedButtons) font = &look.selectFont, colour = look.selectColour;
  // A sub-picture button only recolours the pixels of one 4-colour picture, so the three
  // images may show at most two different shapes between them: spumux aborts on three.
  // A select font unlike both others is drawn in the highlight's shape.
  if (kind == kMenuSelectedButtons && look.highlightFont != look.captionFont &&
      look.selectFont != look.captionFont && look.selectFont != look.highlightFont)
    font = &look.highlightFont;

  cairo_save(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_rectangle(cr, 0, 0, kFrameWidth, FrameHeight());
  cairo_fill(cr);
  cairo_restore(cr);
  MenuFont captionFont = MenuFont::Resolve(*font);
  for (const MenuEntry* entry : page.Titles)
    DrawMenuText(cr, CaptionText(*entry), captionFont, entry->CaptionRect, colour, kTextLeft, false);
  DrawNavigationLabels(cr, page, colour, false);
}

void MenuRenderer::DrawBackground(cairo_t* cr) {
  const MenuAppearance& look = model_.Appearance();
  if (look.backgroundPicture.empty()) {
    SetColour(cr, look.backgroundColour);
    cairo_rectangle(cr, 0, 0, kFrameWidth, FrameHeight());
    cairo_fill(cr);
    return;
  }
  // A picture that cannot be used leaves the background undrawn; the rest of the page
  // is still drawn, so the menu keeps its captions and labels.
  if (cairo_surface_t* picture = BackgroundPicture())
    DrawStretched(cr, picture, 0, 0, kFrameWidth, FrameHeight());
}

cairo_surface_t* MenuRenderer::BackgroundPicture() {
  const std::string& path = model_.Appearance().backgroundPicture;
  if (pictureTried_ && path == picturePath_) return picture_;
  if (picture_) cairo_surface_destroy(picture_);
  picture_ = nullptr;
  picturePath_ = path;
  pictureTried_ = true;
  std::optional<PictureFormat> format = PictureFormatForPath(path);
  Picture picture;
  if (format && LoadPicture(path, *format, picture)) picture_ = SurfaceFromPicture(picture);
  return picture_;
}

void MenuRenderer::DrawHeadline(cairo_t* cr, bool header, const std::string* instead) {
  MenuAppearance& look = model_.Appearance();
  LogicalFont& setting = header ? look.headerFont : look.footerFont;
  std::optional<MenuFont> font = MenuFont::Create(setting);
  if (!font) {
    setting = HeadlineFallbackFont();
    font = MenuFont::Resolve(setting);
  }
  const std::string& text = instead ? *instead : header ? look.headerText : look.footerText;
  const bool shadow = header ? look.headerShadow : look.footerShadow;
  const Colour shadowColour = header ? look.headerShadowColour : look.footerShadowColour;
  const Colour colour = header ? look.headerColour : look.footerColour;
  const int alignment = header ? look.headerAlignment : look.footerAlignment;
  const MenuPageGeometry geometry = PageGeometry(options_.ntsc);
  const Rect rect = header ? geometry.header : geometry.footer;
  // The text is drawn up and left of the shadow: the shadow shows below and to the right.
  const int offset = header ? 2 : 1;
  const unsigned format = unsigned(alignment == kAlignRight ? kTextRight
                                   : alignment == kAlignCentre ? kTextCentre
                                                               : kTextLeft) |
                          kTextVerticalCentre | kTextSingleLine;
  if (shadow) DrawMenuText(cr, text, *font, rect, shadowColour, format, true);
  Rect moved{rect.left - offset, rect.top - offset, rect.width, rect.height};
  DrawMenuText(cr, text, *font, moved, colour, format, true);
}

void MenuRenderer::DrawRule(cairo_t* cr, int rowY) {
  // A 3 px pen centred on the row: rows y - 1, y and y + 1.
  const double y = rowY + 0.5;
  cairo_save(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const MenuPageGeometry geometry = PageGeometry(options_.ntsc);
  cairo_move_to(cr, geometry.lineLeft, y);
  cairo_line_to(cr, geometry.lineRight, y);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void MenuRenderer::DrawThumbnail(cairo_t* cr, const MenuEntry& entry) {
  const Rect& rect = entry.ThumbnailRect;
  const RgbImage& image = entry.Picture.Empty() ? thumbnails_.At(entry.ThumbnailIndex) : entry.Picture;
  if (image.Empty()) {
    // A title without a thumbnail still shows where its button is.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, rect.left, rect.top, rect.width, rect.height);
    cairo_fill(cr);
    return;
  }
  cairo_surface_t* surface = SurfaceFromRgb(image);
  DrawStretched(cr, surface, rect.left, rect.top, rect.width, rect.height);
  cairo_surface_destroy(surface);
}

void MenuRenderer::DrawNavigationLabels(cairo_t* cr, const MenuPage& page, unsigned colour,
                                        bool antialias) {
  if (!page.Previous && !page.Next && !page.PlayAll && !page.Back) return;
  MenuFont font = MenuFont::Resolve(NavigationLabelFont());
  const MenuPageGeometry geometry = PageGeometry(options_.ntsc);
  if (page.Previous)
    DrawMenuText(cr, Tr(kPreviousLabel), font, geometry.previousLabel, colour,
                 kTextLeft | kTextVerticalCentre | kTextSingleLine, antialias);
  // Only the first page has it, where no "上一页" is.
  if (page.PlayAll)
    DrawMenuText(cr, Tr(kPlayAllLabel), font, geometry.previousLabel, colour,
                 kTextLeft | kTextVerticalCentre | kTextSingleLine, antialias);
  if (page.Back)
    DrawMenuText(cr, Tr(kBackLabel), font, geometry.backLabel, colour,
                 kTextCentre | kTextVerticalCentre | kTextSingleLine, antialias);
  if (page.Next)
    DrawMenuText(cr, Tr(kNextLabel), font, geometry.nextLabel, colour,
                 kTextCentre | kTextVerticalCentre | kTextSingleLine, antialias);
}

cairo_t* MenuRenderer::ClearedCanvas() {
  if (!canvas_ || cairo_image_surface_get_height(canvas_) != FrameHeight()) {
    if (canvas_) cairo_surface_destroy(canvas_);
    canvas_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kFrameWidth, FrameHeight());
  }
  cairo_t* cr = cairo_create(canvas_);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  return cr;
}

RgbImage MenuRenderer::CanvasImage() {
  cairo_surface_flush(canvas_);
  RgbImage image(kFrameWidth, FrameHeight());
  const unsigned char* data = cairo_image_surface_get_data(canvas_);
  const int stride = cairo_image_surface_get_stride(canvas_);
  for (int y = 0; y < image.height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + size_t(y) * size_t(stride));
    std::uint8_t* dst = image.Row(y);
    for (int x = 0; x < image.width; ++x) {
      dst[x * 3] = std::uint8_t(row[x] >> 16);
      dst[x * 3 + 1] = std::uint8_t(row[x] >> 8);
      dst[x * 3 + 2] = std::uint8_t(row[x]);
    }
  }
  return image;
}

}  // namespace vantrel
