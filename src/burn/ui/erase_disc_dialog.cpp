// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/erase_disc_dialog.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "menu/ui/deferred_handler.h"
#include "menu/ui/wx_text.h"
#include "burn/burn_dialog_state.h"
#include "burn/erase_sequence.h"
#include "burn/ui/message_front_end.h"

namespace vantrel {

CEraseDiscDlg::CEraseDiscDlg(wxWindow* parent, const std::string& notBlank, std::function<void(int)> onYes)
    : wxDialog(parent, 145, U("擦除光盘")), onYes_(std::move(onYes)), timer_(this, 1001) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticBitmap(this, 146, wxArtProvider::GetBitmap(wxART_QUESTION, wxART_MESSAGE_BOX)),
           0, wxALL, 8);
  auto* texts = new wxBoxSizer(wxVERTICAL);
  texts->Add(new wxStaticText(this, wxID_ANY, Plain(notBlank)), 0, wxBOTTOM, 6);
  texts->Add(new wxStaticText(this, wxID_ANY, U(kEraseQuestionText)));
  row->Add(texts, 1, wxALL, 8);
  top->Add(row, 0, wxEXPAND);
  progress_ = new wxGauge(this, 1019, 100, wxDefaultPosition, wxSize(360, 16));
  top->Add(progress_, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
  quick_ = new wxCheckBox(this, 1072, U("快速擦除光盘"));
  quick_->SetValue(choice_.QuickFlag() == 1);
  top->Add(quick_, 0, wxALL, 8);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  yes_ = new wxButton(this, wxID_OK, U("是"));
  no_ = new wxButton(this, wxID_CANCEL, U("否"));
  buttons->Add(yes_, 0, wxRIGHT, 8);
  buttons->Add(no_);
  top->Add(buttons, 0, wxEXPAND | wxALL, 8);
  SetSizerAndFit(top);
  quick_->Bind(wxEVT_CHECKBOX, Deferred(this, &CEraseDiscDlg::OnQuickClicked));
  yes_->Bind(wxEVT_BUTTON, &CEraseDiscDlg::OnYes, this);
  Bind(wxEVT_TIMER, &CEraseDiscDlg::OnTick, this, 1001);
  // While the erase runs the dialog closes only on the done message.
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
    if (erasing_ && e.CanVeto()) e.Veto();
    else EndModal(wxID_CANCEL);
  });
  SetEscapeId(wxID_CANCEL);
  CentreOnParent();
}

void CEraseDiscDlg::OnQuickClicked(wxCommandEvent&) {
  MessageFrontEnd ui(this);
  quick_->SetValue(choice_.BoxClicked(quick_->GetValue(), ui));
}

void CEraseDiscDlg::OnYes(wxCommandEvent&) {
  if (erasing_) return;
  timer_.Start(1000);
  erasing_ = true;
  quick_->Disable();
  yes_->Disable();
  no_->Disable();
  SetEscapeId(wxID_NONE);
  onYes_(choice_.QuickFlag());
}

void CEraseDiscDlg::OnTick(wxTimerEvent&) { progress_->SetValue(NextEraseProgress(progress_->GetValue())); }

void CEraseDiscDlg::EraseDone() {
  timer_.Stop();
  erasing_ = false;
  if (IsModal()) EndModal(wxID_OK);
}

}  // namespace vantrel
