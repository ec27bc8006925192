// SPDX-License-Identifier: GPL-3.0-or-later
// The "ColorPalette" popup of a colour button: the 19 x 12 grid, the swatch and hex text of
// the candidate, the more-colours button, and an eyedropper that reads the screen pixel
// under the pointer anywhere while the popup holds the mouse capture.
#pragma once

#include <wx/popupwin.h>

#include "menu/colour_palette.h"

namespace vantrel {

class CColourButton;

class ColourPalettePopup : public wxPopupWindow {
 public:
  // Opens at `origin` (screen) for the button, with the button's colour as the start.
  ColourPalettePopup(CColourButton* owner, Colour start, const wxPoint& origin);
  ~ColourPalettePopup() override;

  // The press on the colour button that opened the popup.
  void PressOnButton(const wxPoint& screen);
  const PalettePick& Pick() const { return pick_; }

  // The colour of the screen pixel at a screen point; only the popup's own pixels where
  // the display server gives none (Wayland).
  static Colour ScreenPixel(const wxPoint& screen, const wxWindow* self);
  static bool CanReadScreen();

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  // The pointer is at `local` (from the popup's top-left corner): the candidate colour and
  // the cursor follow it.
  void TrackPointer(const wxPoint& local);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void Finish(const wxPoint& screen);
  wxRect MoreButtonRect() const { return wxRect(167, 126, 16, 16); }

  CColourButton* owner_;
  PalettePick pick_;
  bool morePressed_ = false;
  bool finished_ = false;
};

}  // namespace vantrel
