// SPDX-License-Identifier: GPL-3.0-or-later
// CFontNameCombo: the drop-down list of installed outline fonts, each entry drawn with
// the outline-font picture and its name in its own face.
#pragma once

#include <wx/odcombo.h>

#include <string>
#include <vector>

namespace vantrel {

class CFontNameCombo : public wxOwnerDrawnComboBox {
 public:
  CFontNameCombo(wxWindow* parent, wxWindowID id, const wxString& accessibleName);
  // Fills the list with the faces (the text dialog does this when it opens).
  void Fill(const std::vector<std::string>& faces);

 private:
  void OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const override;
  wxCoord OnMeasureItem(size_t item) const override;
  wxCoord OnMeasureItemWidth(size_t item) const override;
};

}  // namespace vantrel
