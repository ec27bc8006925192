// SPDX-License-Identifier: GPL-3.0-or-later
// The erase job's front end in the burn dialog: status lines, notes and other questions go
// to the burn dialog; the job's question whether to erase is answered in the erase dialog,
// which stays open with its running bar until the job has ended.
#pragma once

#include <functional>
#include <future>
#include <string>

#include "burn/burn_front_end.h"

namespace vantrel {

class CBurnDlg;
class CEraseDiscDlg;

class EraseFrontEnd : public BurnFrontEnd {
 public:
  explicit EraseFrontEnd(CBurnDlg& dialog) : dialog_(dialog) {}

  void ShowStatus(const std::string& text, int position, int mode, int kind) override;
  void SetProgressRange(int low, int high) override;
  void SetProgress(int position) override;
  void StartRunTimer() override {}
  void StopRunTimer() override {}
  // From the job's thread.
  bool AskYesNo(const std::string& text) override;
  void ShowMessage(const std::string& text) override;

  // On the dialog's thread once the job has ended: the erase dialog closes, then `then`
  // runs (at once when the erase dialog is not open). `then` may destroy this object.
  void JobEnded(std::function<void()> then);

 private:
  // `notBlank` is the question's first line, which names the medium.
  void RunEraseDialog(std::promise<bool>& answer, const std::string& notBlank);

  CBurnDlg& dialog_;
  CEraseDiscDlg* open_ = nullptr;    // the dialog's thread only
  std::function<void()> afterClose_;  // the dialog's thread only
  int quickFlag_ = 1;                 // written before the answer is given, read after it
};

}  // namespace vantrel
