// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/menu_page_geometry.h"

#include "menu/menu_model.h"
#include "menu/text_drawing.h"

namespace vantrel {

MenuPageGeometry PageGeometry(bool ntsc) {
  const double f = VerticalScale(ntsc);
  auto y = [f](int palY) { return int(palY * f); };
  MenuPageGeometry g;
  g.header = EdgeRect(80, y(40), 560, y(96));
  g.pageCounter = EdgeRect(570, y(40), 640, y(96));
  g.headerLineY = y(100);
  g.footer = EdgeRect(180, y(480), 480, y(536));
  g.footerLineY = y(470);
  g.previousLabel = EdgeRect(80, y(480), 220, y(536));
  g.nextLabel = EdgeRect(500, y(480), 680, y(536));
  g.backLabel = EdgeRect(kBackLabelLeft, y(480), kBackLabelRight, y(536));
  g.lineLeft = 75;
  g.lineRight = 645;
  return g;
}

}  // namespace vantrel
