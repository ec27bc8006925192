// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/font_name_combo.h"

#include <wx/dc.h>
#include <wx/settings.h>

#include "menu/ui/accessible_label.h"

namespace vantrel {
namespace {

// The 15-pixel outline-font picture: a doubled "T", as such lists show it.
void DrawGlyphPicture(wxDC& dc, int x, int y) {
  dc.SetPen(wxPen(wxColour(0, 0, 160), 2));
  dc.DrawLine(x, y + 1, x + 9, y + 1);
  dc.DrawLine(x + 4, y + 1, x + 4, y + 13);
  dc.SetPen(wxPen(wxColour(96, 96, 96), 2));
  dc.DrawLine(x + 5, y + 5, x + 14, y + 5);
  dc.DrawLine(x + 9, y + 5, x + 9, y + 14);
}

}  // namespace

CFontNameCombo::CFontNameCombo(wxWindow* parent, wxWindowID id, const wxString& accessibleName)
    : wxOwnerDrawnComboBox(parent, id, wxEmptyString, wxDefaultPosition, wxSize(200, -1), 0,
                           nullptr, wxCB_READONLY) {
  SetName(accessibleName);
  SetToolTip(accessibleName);
  SetAccessibleLabel(this, accessibleName.utf8_string());
}

void CFontNameCombo::Fill(const std::vector<std::string>& faces) {
  Clear();
  for (const std::string& face : faces) Append(wxString::FromUTF8(face));
  SetPopupMinWidth(300);
}

void CFontNameCombo::OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const {
  if (item == wxNOT_FOUND) return;
  const bool selected = (flags & wxODCB_PAINTING_SELECTED) != 0;
  dc.SetTextForeground(wxSystemSettings::GetColour(selected ? wxSYS_COLOUR_HIGHLIGHTTEXT
                                                            : wxSYS_COLOUR_WINDOWTEXT));
  DrawGlyphPicture(dc, rect.x + 5, rect.y + 4);
  const wxString face = GetString(unsigned(item));
  wxFont font(wxFontInfo(wxSize(0, 20)).FaceName(face).AntiAliased());
  if (!font.IsOk()) font = GetFont();
  dc.SetFont(font);
  dc.DrawText(face, rect.x + 27, rect.y + (rect.height - dc.GetCharHeight()) / 2);
}

wxCoord CFontNameCombo::OnMeasureItem(size_t) const { return 26; }

wxCoord CFontNameCombo::OnMeasureItemWidth(size_t) const { return 300; }

}  // namespace vantrel
