// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hyperlink_label.h"

#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "app/link_opener.h"
#include "app/wx_text.h"

namespace vantrel::app {

HyperlinkLabel::HyperlinkLabel(wxWindow* parent, wxWindowID id, const std::string& caption,
                               std::string address)
    : wxButton(parent, id, U(caption), wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxBU_EXACTFIT),
      address_(std::move(address)) {
  wxString text = U(caption);
  text.Replace("&", "&amp;");
  text.Replace("<", "&lt;");
  text.Replace(">", "&gt;");
  SetLabelMarkup("<u>" + text + "</u>");
  SetForegroundColour(wxColour(0, 0, 238));
  SetCursor(wxCursor(wxCURSOR_HAND));
  SetToolTip(U(address_));
  // After the click has returned: the failure message is modal.
  Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { CallAfter([this, event] {
    wxCommandEvent copy(event);
    OnClick(copy);
  }); });
}

void HyperlinkLabel::OnClick(wxCommandEvent&) {
  const int result = OpenLink(address_);
  if (result > 32) {
    visited_ = true;
    SetForegroundColour(wxColour(85, 26, 139));
    Refresh();
    return;
  }
  wxBell();
  wxMessageDialog box(this, U(LinkFailureText(result)), Plain("Vantrel"), wxOK | wxICON_WARNING);
  box.SetOKLabel(U("确定"));
  box.ShowModal();
}

}  // namespace vantrel::app
