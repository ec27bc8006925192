// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/colour_palette_popup.h"

#include "authoring/run_message_style.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <X11/Xutil.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/msgdlg.h>

#include "menu/ui/wx_text.h"
#include "menu/ui/colour_button.h"
#include "menu/ui/wx_colour.h"

namespace vantrel {
namespace {

const wxColour kStripGrey(192, 192, 192);

// One connection to the X server for reading screen pixels, opened on first use.
Display* ScreenDisplay() {
  static Display* display = [] {
    if (wxGetDisplayInfo().type != wxDisplayX11) return static_cast<Display*>(nullptr);
    return XOpenDisplay(nullptr);
  }();
  return display;
}

// A modal dialog's toolkit grab keeps every event from windows outside it, the popup among
// them; the popup joins the grab while it is open. The toolkit is already loaded by wx, so
// its two calls are looked up in the process rather than linked against.
void ToolkitGrab(wxWindow* window, bool on) {
  using GrabCall = void (*)(void*);
  static const auto add = reinterpret_cast<GrabCall>(dlsym(RTLD_DEFAULT, "gtk_grab_add"));
  static const auto remove = reinterpret_cast<GrabCall>(dlsym(RTLD_DEFAULT, "gtk_grab_remove"));
  if (GrabCall call = on ? add : remove; call && window->GetHandle()) call(window->GetHandle());
}

}  // namespace

bool ColourPalettePopup::CanReadScreen() { return ScreenDisplay() != nullptr; }

Colour ColourPalettePopup::ScreenPixel(const wxPoint& screen, const wxWindow* self) {
  if (Display* display = ScreenDisplay()) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), screen.x, screen.y, 1, 1,
                              AllPlanes, ZPixmap);
    if (image) {
      const unsigned long pixel = XGetPixel(image, 0, 0);
      XDestroyImage(image);
      XColor colour;
      colour.pixel = pixel;
      XQueryColor(display, DefaultColormap(display, DefaultScreen(display)), &colour);
      return MakeColour(colour.red >> 8, colour.green >> 8, colour.blue >> 8);
    }
  }
  // Without screen pixels only the popup's own grid can be read.
  const wxPoint local = self->ScreenToClient(screen);
  const int cell = PaletteCellAt(local.x, local.y);
  if (cell < 0) return 0;
  return PaletteCellColour(cell % kPaletteColumns, cell / kPaletteColumns);
}

ColourPalettePopup::ColourPalettePopup(CColourButton* owner, Colour start, const wxPoint& origin)
    : wxPopupWindow(owner, wxBORDER_SIMPLE), owner_(owner), pick_(start) {
  SetName("ColorPalette");
  SetLabel("Palatte");
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetClientSize(kPaletteWidth, kPaletteHeight);
  SetPosition(origin);
  Bind(wxEVT_PAINT, &ColourPalettePopup::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &ColourPalettePopup::OnLeftDown, this);
  Bind(wxEVT_MOTION, &ColourPalettePopup::OnMotion, this);
  Bind(wxEVT_LEFT_UP, &ColourPalettePopup::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &ColourPalettePopup::OnCaptureLost, this);
  Show();
  Raise();
  ToolkitGrab(this, true);
  CaptureMouse();
  static bool told = false;
  if (!CanReadScreen() && !told) {
    told = true;
    wxMessageDialog box(this, U("此显示系统不允许读取屏幕颜色，吸管只能从调色板中取色。"),
                        wxString::FromUTF8(kProgramCaption), wxOK | wxICON_INFORMATION);
    box.SetOKLabel(U("确定"));
    box.ShowModal();
  }
}

ColourPalettePopup::~ColourPalettePopup() {
  if (HasCapture()) ReleaseMouse();
  ToolkitGrab(this, false);
}

void ColourPalettePopup::PressOnButton(const wxPoint& screen) {
  pick_.PressOnButton({screen.x, screen.y});
  Refresh();
}

void ColourPalettePopup::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  dc.SetPen(*wxTRANSPARENT_PEN);
  for (int r = 0; r < kPaletteRows; ++r)
    for (int c = 0; c < kPaletteColumns; ++c) {
      dc.SetBrush(wxBrush(ToWx(PaletteCellColour(c, r))));
      dc.DrawRectangle(c * kPaletteCell, r * kPaletteCell, kPaletteCell, kPaletteCell);
    }
  dc.SetPen(*wxBLACK_PEN);
  for (int x = 9; x <= 179; x += 10) dc.DrawLine(x, 0, x, kPaletteGridHeight);
  for (int y = 9; y <= 119; y += 10) dc.DrawLine(0, y, kPaletteWidth - 1, y);
  if (const int cell = pick_.HoveredCell(); cell >= 0) {
    const int c = cell % kPaletteColumns, r = cell / kPaletteColumns;
    wxPen focus(*wxWHITE, 1, wxPENSTYLE_DOT);
    dc.SetPen(focus);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(10 * c, 10 * r, 10, 10);
  }
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(kStripGrey));
  dc.DrawRectangle(0, kPaletteGridHeight, kPaletteWidth, kPaletteHeight - kPaletteGridHeight);
  dc.SetPen(*wxBLACK_PEN);
  dc.SetBrush(wxBrush(ToWx(pick_.Candidate())));
  dc.DrawRectangle(4, 124, 37, 20);
  wxFont hexFont(wxFontInfo(wxSize(0, 12)).FaceName(Plain("宋体")).Encoding(wxFONTENCODING_CP936));
  dc.SetFont(hexFont);
  dc.SetTextForeground(*wxBLACK);
  dc.SetBackgroundMode(wxTRANSPARENT);
  dc.DrawText(PaletteHexText(pick_.Candidate()), 80, 127);
  // The more-colours button: a raised or pressed face with three overlapping squares.
  const wxRect more = MoreButtonRect();
  dc.SetPen(wxPen(morePressed_ ? *wxBLACK : *wxWHITE));
  dc.DrawLine(more.x, more.y, more.GetRight(), more.y);
  dc.DrawLine(more.x, more.y, more.x, more.GetBottom());
  dc.SetPen(wxPen(morePressed_ ? *wxWHITE : *wxBLACK));
  dc.DrawLine(more.GetRight(), more.y, more.GetRight(), more.GetBottom() + 1);
  dc.DrawLine(more.x, more.GetBottom(), more.GetRight(), more.GetBottom());
  const int o = morePressed_ ? 1 : 0;
  dc.SetPen(*wxBLACK_PEN);
  dc.SetBrush(*wxRED_BRUSH);
  dc.DrawRectangle(more.x + 3 + o, more.y + 3 + o, 6, 6);
  dc.SetBrush(*wxGREEN_BRUSH);
  dc.DrawRectangle(more.x + 7 + o, more.y + 5 + o, 6, 6);
  dc.SetBrush(*wxYELLOW_BRUSH);
  dc.DrawRectangle(more.x + 5 + o, more.y + 8 + o, 6, 6);
}

void ColourPalettePopup::OnLeftDown(wxMouseEvent& event) {
  if (MoreButtonRect().Contains(event.GetPosition())) {
    morePressed_ = true;
    Refresh();
    return;
  }
  const wxPoint screen = ClientToScreen(event.GetPosition());
  pick_.Press({screen.x, screen.y});
  Refresh();
}

void ColourPalettePopup::OnMotion(wxMouseEvent& event) { TrackPointer(event.GetPosition()); }

void ColourPalettePopup::TrackPointer(const wxPoint& local) {
  const wxPoint screen = ClientToScreen(local);
  PaletteArea area = PaletteArea::Outside;
  if (wxRect(GetClientSize()).Contains(local))
    area = local.y < kPaletteGridHeight        ? PaletteArea::Grid
           : MoreButtonRect().Contains(local) ? PaletteArea::MoreButton
                                              : PaletteArea::Strip;
  const bool pipette = pick_.Move({screen.x, screen.y}, {local.x, local.y}, area,
                                  ScreenPixel(screen, this));
  owner_->ShowPipette(pipette);
  Refresh();
}

void ColourPalettePopup::OnLeftUp(wxMouseEvent& event) {
  if (morePressed_) {
    morePressed_ = false;
    if (MoreButtonRect().Contains(event.GetPosition())) {
      finished_ = true;
      CColourButton* owner = owner_;
      owner->CallAfter([owner] { owner->OnMoreColours(); });
    }
    Refresh();
    return;
  }
  // The colour is the one where the button goes up: the toolkit merges a quick drag's
  // moves, and the last one it reports may lie short of the release.
  TrackPointer(event.GetPosition());
  Finish(ClientToScreen(event.GetPosition()));
}

void ColourPalettePopup::OnCaptureLost(wxMouseCaptureLostEvent&) {
  // Another window took the pointer: the same as the popup losing activation.
  Finish(wxGetMousePosition());
}

void ColourPalettePopup::Finish(const wxPoint& screen) {
  if (finished_) return;
  const std::optional<Colour> picked = pick_.Release({screen.x, screen.y});
  if (!picked) return;
  finished_ = true;
  CColourButton* owner = owner_;
  const Colour colour = *picked;
  owner->CallAfter([owner, colour] { owner->OnPicked(colour); });
}

}  // namespace vantrel
