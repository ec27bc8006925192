// SPDX-License-Identifier: GPL-3.0-or-later
// CEraseDiscDlg "擦除光盘": asks whether to erase a rewritable disc, hands the answer (with
// the quick-erase choice) to the erase job that asked, shows a wrapping progress bar while
// the erase runs, and closes when told the erase has ended.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <string>

#include "burn/erase_choice.h"

class wxButton;
class wxCheckBox;
class wxGauge;

namespace vantrel {

class CEraseDiscDlg : public wxDialog {
 public:
  // `notBlank` is the first line of the question, naming the medium ("DVD+RW 并非空白…");
  // `onYes` gets the quick flag (1 quick, 0 full) when the user agrees to the erase.
  CEraseDiscDlg(wxWindow* parent, const std::string& notBlank, std::function<void(int)> onYes);
  // The erase-done message: stops the bar and closes with OK.
  void EraseDone();
  bool Erasing() const { return erasing_; }
  int QuickFlag() const { return choice_.QuickFlag(); }

 private:
  void OnQuickClicked(wxCommandEvent& event);
  void OnYes(wxCommandEvent& event);
  void OnTick(wxTimerEvent& event);

  std::function<void(int)> onYes_;
  EraseChoice choice_;
  wxCheckBox* quick_;
  wxGauge* progress_;
  wxButton* yes_;
  wxButton* no_;
  wxTimer timer_;
  bool erasing_ = false;
};

}  // namespace vantrel
