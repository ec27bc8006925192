// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/message_front_end.h"

#include "burn/ui/pumped_wait.h"
#include "menu/ui/wx_text.h"

#include <wx/msgdlg.h>

namespace vantrel {

namespace {

long IconFlag(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kInformation: return wxICON_INFORMATION;
    case BoxIcon::kError: return wxICON_ERROR;
    case BoxIcon::kNone: break;
  }
  // Without this the toolkit gives a box without an icon the question or information icon.
  return wxICON_NONE;
}

BoxStyle PlainStyle(bool informationIcon) {
  return {kProgramCaption, informationIcon ? BoxIcon::kInformation : BoxIcon::kNone};
}

}  // namespace

bool AskYesNoBox(wxWindow* owner, const std::string& text, const BoxStyle& style) {
  wxMessageDialog box(owner, U(text), U(style.caption), wxYES_NO | IconFlag(style.icon));
  box.SetYesNoLabels(U("是"), U("否"));
  return box.ShowModal() == wxID_YES;
}

void ShowNoteBox(wxWindow* owner, const std::string& text, const BoxStyle& style) {
  wxMessageDialog box(owner, U(text), U(style.caption), wxOK | IconFlag(style.icon));
  box.SetOKLabel(U("确定"));
  box.ShowModal();
}

bool AskYesNoBox(wxWindow* owner, const std::string& text, bool informationIcon) {
  return AskYesNoBox(owner, text, PlainStyle(informationIcon));
}

void ShowNoteBox(wxWindow* owner, const std::string& text, bool informationIcon) {
  ShowNoteBox(owner, text, PlainStyle(informationIcon));
}

bool MessageFrontEnd::AskYesNo(const std::string& text) {
  return AskYesNoBox(owner_, text, RunQuestionStyle(text));
}

void MessageFrontEnd::ShowMessage(const std::string& text) { ShowNoteBox(owner_, text, RunNoteStyle(text)); }

std::int64_t MessageFrontEnd::Aside(const std::function<std::int64_t()>& step) {
  return PumpedWait(step);
}

}  // namespace vantrel
