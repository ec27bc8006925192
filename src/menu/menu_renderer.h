// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the menu pages of the menu model and saves the four images of every page into
// the intermediate folder: the page picture that becomes the menu video, and the normal,
// highlighted and selected button images that become its sub-picture overlay.
// Headless: everything is drawn with cairo into memory.
#pragma once

#include <string>

#include "base/rgb_image.h"
#include "menu/layout_style.h"
#include "menu/page_layer.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace vantrel {

class MenuModel;
struct MenuEntry;
struct MenuPage;
class ThumbnailImageList;
struct AppSettings;

enum MenuImageKind {
  kMenuBackground = 1,
  kMenuNormalButtons = 2,
  kMenuHighlightedButtons = 3,
  kMenuSelectedButtons = 4,
};

struct MenuRenderOptions {
  bool ntsc = false;
  bool headerLine = true;
  bool footerLine = true;
  std::string intermediateFolder;  // ends in "/"

  // Video standard and rule flags from the settings.
  static MenuRenderOptions FromSettings(const AppSettings& settings, std::string intermediateFolder);
};

class MenuRenderer {
 public:
  static constexpr int kFrameWidth = 720;

  // The renderer writes back into the model's appearance when a header or footer font
  // has to fall back, so the fallback is what the settings keep.
  MenuRenderer(MenuModel& model, const ThumbnailImageList& thumbnails, MenuRenderOptions options);
  ~MenuRenderer();
  MenuRenderer(const MenuRenderer&) = delete;
  MenuRenderer& operator=(const MenuRenderer&) = delete;

  // Renders that kind for every page and saves the files; false when a kind is unknown or
  // a file could not be written (the others are still written).
  bool Render(int kind);

  // The page picture (kind 1) of one page, drawn over the target rectangle of any cairo
  // context: the menu designer's preview draws the same page into its own window.
  void DrawPage(cairo_t* cr, const Rect& target, int pageNumber);
  // One button image (kinds 2..4) drawn the same way, without anti-aliasing.
  void DrawButtons(cairo_t* cr, const Rect& target, int pageNumber, int kind);

  // One page of one kind drawn on the renderer's frame-sized canvas, before saving.
  RgbImage RenderPageImage(int pageNumber, int kind);

  // The page picture (kind 1) without loss, over a transparent frame when
  // `withBackground` is false: what a moving menu's film is built on.
  PageLayer RenderPageLayer(int pageNumber, bool withBackground);
  // For a menu that moves, every page's layer into the intermediate folder, its background
  // left out when a video goes under it; nothing for a still menu. False when a file could
  // not be written.
  bool RenderFilmLayers();
  // "menu_layer%02d.png": the layer of a page, beside the other pictures.
  static std::string LayerFileName(int pageNumber);

  int FrameHeight() const { return options_.ntsc ? 480 : 576; }
  const MenuRenderOptions& Options() const { return options_; }
  // "menu_background%02d.jpg", "button_normal%02d.png", "button_highlighted%02d.png",
  // "button_selected%02d.png"; empty for an unknown kind.
  static std::string ImageFileName(int kind, int pageNumber);

 private:
  const MenuPage* PageNumbered(int pageNumber) const;
  void DrawPageContent(cairo_t* cr, const MenuPage& page);
  void DrawButtonContent(cairo_t* cr, const MenuPage& page, int kind);
  void DrawBackground(cairo_t* cr);
  // The header or footer; `instead` names another text than the look's.
  void DrawHeadline(cairo_t* cr, bool header, const std::string* instead = nullptr);
  void DrawRule(cairo_t* cr, int rowY);
  void DrawThumbnail(cairo_t* cr, const MenuEntry& entry);
  void DrawNavigationLabels(cairo_t* cr, const MenuPage& page, unsigned colour, bool antialias);
  cairo_surface_t* BackgroundPicture();
  void BeginFrame(cairo_t* cr, const Rect& target);
  cairo_t* ClearedCanvas();
  RgbImage CanvasImage();

  MenuModel& model_;
  const ThumbnailImageList& thumbnails_;
  MenuRenderOptions options_;
  cairo_surface_t* canvas_ = nullptr;
  cairo_surface_t* picture_ = nullptr;
  std::string picturePath_;
  bool pictureTried_ = false;
  bool drawBackground_ = true;
};

}  // namespace vantrel
