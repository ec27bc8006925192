// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/menu_preview.h"

#include <cairo.h>
#include <wx/dcbuffer.h>
#include <wx/image.h>

#include "menu/ui/wx_text.h"
#include "menu/menu_model.h"
#include "menu/menu_renderer.h"
#include "project/app_settings.h"

namespace vantrel {

MenuPreview::MenuPreview(wxWindow* parent, wxWindowID id, MenuModel& model,
                         const ThumbnailImageList& thumbnails, const AppSettings& settings)
    : wxPanel(parent, id, wxDefaultPosition, wxSize(360, settings.IsNtsc() ? 240 : 288),
              wxBORDER_SUNKEN),
      model_(model), thumbnails_(thumbnails), settings_(settings) {
  SetName(U("菜单预览"));
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &MenuPreview::OnPaint, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& e) { Refresh(); e.Skip(); });
}

void MenuPreview::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  const wxSize size = GetClientSize();
  if (size.x <= 0 || size.y <= 0) return;
  // The renderer draws the page over the whole target, scaled with cairo's smooth filter.
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.x, size.y);
  cairo_t* cr = cairo_create(surface);
  MenuRenderer renderer(model_, thumbnails_, MenuRenderOptions::FromSettings(settings_, ""));
  renderer.DrawPage(cr, Rect{0, 0, size.x, size.y}, 1);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  wxImage image(size.x, size.y, false);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  unsigned char* rgb = image.GetData();
  for (int y = 0; y < size.y; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
    for (int x = 0; x < size.x; ++x, rgb += 3) {
      rgb[0] = (row[x] >> 16) & 0xFF;
      rgb[1] = (row[x] >> 8) & 0xFF;
      rgb[2] = row[x] & 0xFF;
    }
  }
  cairo_surface_destroy(surface);
  dc.DrawBitmap(wxBitmap(image), 0, 0);
}

}  // namespace vantrel
