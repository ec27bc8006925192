// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/colour_button.h"

#include <wx/colordlg.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/image.h>
#include <wx/settings.h>

#include "menu/ui/accessible_label.h"
#include "menu/ui/colour_palette_popup.h"
#include "menu/ui/wx_colour.h"

namespace vantrel {
namespace {

// The swatch the button shows: a raised frame (left out while the popup is open, so the
// button looks pressed), the colour in a sunken edge, and a notch with a small arrow.
wxBitmap SwatchBitmap(const wxSize& size, Colour colour, bool pressed) {
  wxBitmap bitmap(size);
  wxMemoryDC dc(bitmap);
  const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
  const wxColour shadow = wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW);
  dc.SetBackground(wxBrush(face));
  dc.Clear();
  const int w = size.x, h = size.y;
  if (!pressed) {
    dc.SetPen(*wxWHITE_PEN);
    dc.DrawLine(0, 0, w - 1, 0);
    dc.DrawLine(0, 0, 0, h - 1);
    dc.SetPen(wxPen(shadow));
    dc.DrawLine(w - 1, 0, w - 1, h);
    dc.DrawLine(0, h - 1, w, h - 1);
  }
  wxRect area(3, 3, w - 6, h - 6);
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(ToWx(colour)));
  dc.DrawRectangle(area);
  dc.SetPen(wxPen(shadow));
  dc.DrawLine(area.x - 1, area.y - 1, area.GetRight() + 1, area.y - 1);
  dc.DrawLine(area.x - 1, area.y - 1, area.x - 1, area.GetBottom() + 1);
  dc.SetPen(*wxWHITE_PEN);
  dc.DrawLine(area.x - 1, area.GetBottom() + 1, area.GetRight() + 2, area.GetBottom() + 1);
  dc.DrawLine(area.GetRight() + 1, area.y - 1, area.GetRight() + 1, area.GetBottom() + 1);
  // The notch: 6 x 4 of button face in the lower right corner with a down arrow.
  const int nx = area.GetRight() - 5, ny = area.GetBottom() - 3;
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(face));
  dc.DrawRectangle(nx, ny, 6, 4);
  dc.SetPen(*wxBLACK_PEN);
  dc.DrawLine(nx, ny + 1, nx + 5, ny + 1);
  dc.DrawLine(nx + 1, ny + 2, nx + 4, ny + 2);
  dc.DrawPoint(nx + 2, ny + 3);
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

wxSize SwatchSize(const wxSize& buttonSize) {
  return wxSize(std::max(16, buttonSize.x - 12), std::max(10, buttonSize.y - 10));
}

}  // namespace

wxCursor MakePipetteCursor() {
  // The 16 x 16 shape sits in the top-left corner of a 32 x 32 cursor; the rest, and the
  // pixels the masks invert, are transparent and white (X cursors cannot invert).
  wxImage image(32, 32);
  image.SetAlpha();
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const CursorPixel p = PipettePixel(x, y);
      const unsigned char v = p == CursorPixel::Black ? 0 : 255;
      image.SetRGB(x, y, v, v, v);
      image.SetAlpha(x, y, p == CursorPixel::Transparent ? 0 : 255);
    }
  image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, kPipetteHotSpot.x);
  image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, kPipetteHotSpot.y);
  return wxCursor(image);
}

CColourButton::CColourButton(wxWindow* parent, wxWindowID id, const wxString& accessibleName,
                             const wxSize& size)
    : wxBitmapButton(parent, id, SwatchBitmap(SwatchSize(size), kColourButtonInitial, false),
                     wxDefaultPosition, size),
      colour_(kColourButtonInitial) {
  SetToolTip(accessibleName);
  SetName(accessibleName);
  SetAccessibleLabel(this, accessibleName.utf8_string());
  const wxSize cursorSize(wxSystemSettings::GetMetric(wxSYS_CURSOR_X, this),
                          wxSystemSettings::GetMetric(wxSYS_CURSOR_Y, this));
  // Only for cursor sizes the 16 x 16 shape fits in; otherwise the arrow serves.
  if (cursorSize.x <= 0 || (cursorSize.x > 16 && cursorSize.x < 100 && cursorSize.y > 16 &&
                            cursorSize.y < 100))
    pipette_ = MakePipetteCursor();
  Bind(wxEVT_LEFT_DOWN, &CColourButton::OnPress, this);
  // The toolkit's own clicks stop here: the parent hears only of changed colours.
  Bind(wxEVT_BUTTON, [](wxCommandEvent&) {});
}

CColourButton::~CColourButton() { ClosePopup(); }

void CColourButton::SetColour(Colour colour) {
  colour_ = colour;
  Repaint();
}

void CColourButton::SetColourWithNotice(Colour colour) {
  colour_ = colour;
  wxCommandEvent click(wxEVT_BUTTON, GetId());
  click.SetEventObject(this);
  wxPostEvent(GetParent(), click);
  Repaint();
}

void CColourButton::Repaint() {
  SetBitmap(SwatchBitmap(SwatchSize(GetSize()), colour_, PopupOpen()));
  Refresh();
}

void CColourButton::OnPress(wxMouseEvent& event) {
  event.Skip();  // the button's own press handling first
  const wxPoint screen = ClientToScreen(event.GetPosition());
  // Opened after the toolkit has finished with the press, so the popup's capture holds.
  CallAfter([this, screen] { OpenPopup(screen); });
}

void CColourButton::OpenPopup(const wxPoint& screenPress) {
  if (!popup_) {
    const wxRect button = GetScreenRect();
    const wxRect screen = wxDisplay(this).GetGeometry();
    const PixelPoint origin = PalettePopupOrigin(
        Rect{button.x - screen.x, button.y - screen.y, button.width, button.height},
        screen.width, screen.height);
    popup_ = new ColourPalettePopup(this, colour_, wxPoint(origin.x + screen.x, origin.y + screen.y));
  }
  popup_->PressOnButton(screenPress);
  Repaint();
}

void CColourButton::ClosePopup() {
  if (!popup_) return;
  ColourPalettePopup* popup = popup_;
  popup_ = nullptr;
  popup->Destroy();
  SetCursor(wxNullCursor);
}

void CColourButton::OnPicked(Colour colour) {
  ClosePopup();
  if (colour == colour_)
    Repaint();
  else
    SetColourWithNotice(colour);
}

void CColourButton::OnMoreColours() {
  ClosePopup();
  Repaint();
  wxColourData data;
  data.SetChooseFull(true);
  data.SetColour(*wxBLACK);
  wxColourDialog dialog(GetParent(), &data);
  if (dialog.ShowModal() == wxID_OK) SetColourWithNotice(FromWx(dialog.GetColourData().GetColour()));
}

void CColourButton::ShowPipette(bool pipette) {
  if (!popup_) return;
  popup_->SetCursor(pipette && pipette_.IsOk() ? pipette_ : *wxSTANDARD_CURSOR);
}

}  // namespace vantrel
