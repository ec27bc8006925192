// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/spumux_script_writer.h"

#include <algorithm>

#include "authoring/run_folders.h"
#include "base/atomic_file.h"
#include "base/text_format.h"
#include "base/xml_text.h"
#include "menu/menu_model.h"
#include "menu/menu_page_geometry.h"

namespace vantrel {
namespace {

// Sub-picture buttons belong on even lines (a player draws the two fields of a line pair
// alike); rounding outwards keeps the whole caption under the highlight.
int EvenDown(int y) { return y & ~1; }
// The last even line of the frame is the lowest a button may reach.
int EvenUp(int y, bool ntsc) { return std::min((y + 1) & ~1, (ntsc ? 480 : 576) - 2); }

std::string TitleButton(const MenuEntry& entry, const MenuPage& page, bool ntsc) {
  const int t = entry.Position;
  const int n = int(page.Titles.size());
  const Rect& r = entry.CaptionRect;
  std::string text = Format("<button name=\"%d\" x0=\"%d\" y0=\"%d\" x1=\"%d\" y1=\"%d\"", t - 1,
                            r.left, EvenDown(r.top), r.Right(), EvenUp(r.Bottom(), ntsc));
  if (entry.TitleNumber == 1 && entry.Chapter == 0) return text + Format(" right=\"%d\"/>", t);
  if (t >= 2) text += Format(" left=\"%d\"", t - 2);
  if (t != n) return text + Format(" right=\"%d\"/>", t);
  if (page.Previous) return text + " right=\"p\"/>";
  if (page.PlayAll) return text + " right=\"a\"/>";
  if (page.Back) return text + " right=\"b\"/>";
  if (page.Next) return text + " right=\"n\"/>";
  return text + "/>";
}

}  // namespace

std::string SpumuxScriptWriter::ScriptPath(const std::string& intermediateFolder, int pageNumber) {
  return intermediateFolder + PageFileName("menu_mpg_spumux", pageNumber, ".xml");
}

std::string SpumuxScriptWriter::Compose(const MenuPage& page, const std::string& intermediateFolder,
                                        TvStandard standard) {
  const bool ntsc = IsNtsc(standard);
  const int k = page.Number;
  const std::string folder = XmlEscape(intermediateFolder);
  const double f = VerticalScale(ntsc);
  const int top = EvenDown(int(kNavigationTop * f)), bottom = EvenUp(int(kNavigationBottom * f), ntsc);
  const int last = int(page.Titles.size());

  std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
  text += "<subpictures><stream>";
  text += "<spu start=\"0:0.5\" image=\"" + folder + PageFileName("button_normal", k, ".png") +
          "\" highlight=\"" + folder + PageFileName("button_highlighted", k, ".png") +
          "\" select=\"" + folder + PageFileName("button_selected", k, ".png") +
          "\" transparent=\"000000\" force=\"yes\">";
  for (const MenuEntry* entry : page.Titles) text += TitleButton(*entry, page, ntsc);
  if (page.PlayAll) {
    text += Format("<button name=\"a\" x0=\"%d\" y0=\"%d\" x1=\"%d\" y1=\"%d\"", kPreviousLeft, top,
                   kPreviousRight, bottom);
    if (page.Next) text += " right=\"n\"";
    text += Format(" left=\"%d\"/>", last - 1);
  }
  if (page.Previous) {
    text += Format("<button name=\"p\" x0=\"%d\" y0=\"%d\" x1=\"%d\" y1=\"%d\"", kPreviousLeft, top,
                   kPreviousRight, bottom);
    if (page.Back) text += " right=\"b\"";
    else if (page.Next) text += " right=\"n\"";
    text += Format(" left=\"%d\"/>", last - 1);
  }
  // A chapter page's way back sits between its page buttons.
  if (page.Back) {
    text += Format("<button name=\"b\" x0=\"%d\" y0=\"%d\" x1=\"%d\" y1=\"%d\"", kBackLabelLeft, top,
                   kBackLabelRight, bottom);
    if (page.Next) text += " right=\"n\"";
    text += page.Previous ? std::string(" left=\"p\"/>") : Format(" left=\"%d\"/>", last - 1);
  }
  if (page.Next) {
    text += Format("<button name=\"n\" x0=\"%d\" y0=\"%d\" x1=\"%d\" y1=\"%d\"", kNextLeft, top,
                   kNextRight, bottom);
    text += page.Back      ? std::string(" left=\"b\"/>")
            : page.Previous  ? std::string(" left=\"p\"/>")
            : page.PlayAll ? std::string(" left=\"a\"/>")
                           : Format(" left=\"%d\"/>", last - 1);
  }
  text += "</spu></stream></subpictures>";
  return text;
}

bool SpumuxScriptWriter::Write(const MenuPage& page, const std::string& intermediateFolder,
                               TvStandard standard) {
  return WriteFileAtomically(ScriptPath(intermediateFolder, page.Number),
                             Compose(page, intermediateFolder, standard));
}

std::string SpumuxScriptWriter::ComposeButtons(const SpumuxImages& images,
                                               const std::vector<SpumuxButton>& buttons) {
  std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?><subpictures><stream>";
  text += "<spu start=\"0:0.5\" image=\"" + XmlEscape(images.normal) + "\" highlight=\"" +
          XmlEscape(images.highlight) + "\" select=\"" + XmlEscape(images.select) +
          "\" transparent=\"000000\" force=\"yes\">";
  for (const SpumuxButton& b : buttons) {
    text += Format("<button name=\"%s\" x0=\"%d\" y0=\"%d\" x1=\"%d\" y1=\"%d\"",
                   XmlEscape(b.name).c_str(), b.x0, b.y0, b.x1, b.y1);
    for (const auto& [direction, neighbour] : b.links) text += " " + direction + "=\"" + XmlEscape(neighbour) + "\"";
    text += "/>";
  }
  return text + "</spu></stream></subpictures>";
}

}  // namespace vantrel
