// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: draws the desktop program's icon at the sizes a desktop asks for, as PNG
// files named SIZE.png, with the same design as data/icons/vantrel.svg.
//   make_icons OUTPUT_FOLDER
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Colour(cairo_t* cr, unsigned rgb, double alpha = 1) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha);
}

bool Draw(int size, const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, size / 128.0, size / 128.0);
  RoundedRect(cr, 5, 5, 118, 118, 15);
  Colour(cr, 0x2d375a);
  cairo_fill_preserve(cr);
  Colour(cr, 0x282832);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  Colour(cr, 0x1c2238);
  for (double x : {12.0, 106.0})
    for (double y : {12.0, 30.0, 90.0, 108.0}) cairo_rectangle(cr, x, y, 10, 8);
  cairo_fill(cr);
  cairo_arc(cr, 64, 64, 48, 0, 2 * M_PI);
  Colour(cr, 0xc8d2e1);
  cairo_fill_preserve(cr);
  Colour(cr, 0xfac83c);
  cairo_set_line_width(cr, 9);
  cairo_stroke(cr);
  cairo_arc(cr, 64, 64, 30, 0, 2 * M_PI);
  Colour(cr, 0xe6ecf5, 0.8);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  cairo_arc(cr, 64, 64, 13, 0, 2 * M_PI);
  Colour(cr, 0xffffff);
  cairo_fill_preserve(cr);
  Colour(cr, 0x8a96aa);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTPUT_FOLDER\n");
    return 2;
  }
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string path = std::string(argv[1]) + "/" + std::to_string(size) + ".png";
    if (!Draw(size, path)) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
