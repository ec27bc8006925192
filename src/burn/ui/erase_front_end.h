// SPDX-License-Identifier: GPL-3.0-or-later
// The erase job's view in the burn dialog, on the dialog's thread (behind a GuiJobObserver):
// lines, notes and other questions go to the burn dialog; the job's question whether to
// erase is answered in the erase dialog, which stays open with its running bar until the
// job has ended.
#pragma once

#include <functional>
#include <string>

#include "jobs/job_observer.h"

namespace vantrel {

class CBurnDlg;
class CEraseDiscDlg;

class EraseFrontEnd : public JobObserver {
 public:
  // `ended` runs when the job has ended.
  EraseFrontEnd(CBurnDlg& dialog, std::function<void()> ended) : dialog_(dialog), ended_(std::move(ended)) {}

  void OnLine(const JobLine& line) override;
  void OnProgress(const JobProgress&) override {}  // the erase dialog's bar runs on its own
  void OnQuestion(const JobQuestion& question, AnswerFunction answer) override;
  void OnEnd(const JobResult&) override { ended_(); }

  // Once the job has ended: the erase dialog closes, then `then` runs (at once when the
  // erase dialog is not open). `then` may destroy this object.
  void JobEnded(std::function<void()> then);

 private:
  // `notBlank` is the question's first line, which names the medium.
  void RunEraseDialog(const AnswerFunction& answer, const std::string& notBlank);

  CBurnDlg& dialog_;
  std::function<void()> ended_;
  CEraseDiscDlg* open_ = nullptr;
  std::function<void()> afterClose_;
  int quickFlag_ = 1;  // the erase dialog's choice, given with its Yes
};

}  // namespace vantrel
