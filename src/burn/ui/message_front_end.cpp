// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/message_front_end.h"

#include "burn/ui/pumped_wait.h"
#include "menu/ui/wx_text.h"

#include <wx/msgdlg.h>

namespace vantrel {

bool AskYesNoBox(wxWindow* owner, const std::string& text, bool informationIcon) {
  wxMessageDialog box(owner, wxString::FromUTF8(text), "Vantrel",
                      wxYES_NO | (informationIcon ? wxICON_INFORMATION : 0));
  box.SetYesNoLabels(U("是"), U("否"));
  return box.ShowModal() == wxID_YES;
}

void ShowNoteBox(wxWindow* owner, const std::string& text, bool informationIcon) {
  wxMessageDialog box(owner, wxString::FromUTF8(text), "Vantrel",
                      wxOK | (informationIcon ? wxICON_INFORMATION : 0));
  box.SetOKLabel(U("确定"));
  box.ShowModal();
}

bool MessageFrontEnd::AskYesNo(const std::string& text) { return AskYesNoBox(owner_, text, true); }

void MessageFrontEnd::ShowMessage(const std::string& text) { ShowNoteBox(owner_, text, false); }

std::int64_t MessageFrontEnd::Aside(const std::function<std::int64_t()>& step) {
  return PumpedWait(step);
}

}  // namespace vantrel
