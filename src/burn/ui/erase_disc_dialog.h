// SPDX-License-Identifier: GPL-3.0-or-later
// CEraseDiscDlg "擦除光盘": asks whether to erase a rewritable disc, starts the erase, shows
// a wrapping progress bar while it runs, and closes when told the erase has ended.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <string>

#include "burn/erase_choice.h"

class wxButton;
class wxCheckBox;
class wxGauge;

namespace vantrel {

class CEraseDiscDlg : public wxDialog {
 public:
  // `mediumType` names the medium the question is about ("DVD+RW", ...).
  CEraseDiscDlg(wxWindow* parent, const std::string& mediumType);
  // The erase-done message: stops the bar and closes with OK.
  void EraseDone();
  bool Erasing() const { return erasing_; }
  int QuickFlag() const { return choice_.QuickFlag(); }

 private:
  void OnQuickClicked(wxCommandEvent& event);
  void OnYes(wxCommandEvent& event);
  void OnTick(wxTimerEvent& event);

  EraseChoice choice_;
  wxCheckBox* quick_;
  wxGauge* progress_;
  wxButton* yes_;
  wxButton* no_;
  wxTimer timer_;
  bool erasing_ = false;
};

}  // namespace vantrel
