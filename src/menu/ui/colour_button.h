// SPDX-License-Identifier: GPL-3.0-or-later
// CColourButton: a push button that shows its colour as a swatch and opens the colour
// palette popup when pressed. A changed colour reaches the parent as an ordinary button
// click of this button's id.
#pragma once

#include <wx/bmpbuttn.h>
#include <wx/cursor.h>

#include "menu/menu_appearance.h"

namespace vantrel {

class ColourPalettePopup;

class CColourButton : public wxBitmapButton {
 public:
  CColourButton(wxWindow* parent, wxWindowID id, const wxString& accessibleName,
                const wxSize& size = wxSize(48, 24));
  ~CColourButton() override;

  // Stores and repaints, without a notice (a dialog opening).
  void SetColour(Colour colour);
  Colour GetColour() const { return colour_; }
  // Stores, tells the parent through a click of this button, and repaints.
  void SetColourWithNotice(Colour colour);
  bool PopupOpen() const { return popup_ != nullptr; }

  // From the popup: a colour was picked (closes it; a notice only when it changed), the
  // more-colours button was pressed, and which cursor to show.
  void OnPicked(Colour colour);
  void OnMoreColours();
  void ShowPipette(bool pipette);
  const wxCursor& Pipette() const { return pipette_; }

 private:
  void Repaint();
  void OnPress(wxMouseEvent& event);
  void OpenPopup(const wxPoint& screenPress);
  void ClosePopup();

  Colour colour_;
  ColourPalettePopup* popup_ = nullptr;
  wxCursor pipette_;
};

// The pipette cursor of the colour buttons, built from its masks.
wxCursor MakePipetteCursor();

}  // namespace vantrel
