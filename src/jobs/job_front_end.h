// SPDX-License-Identifier: GPL-3.0-or-later
// The front end a job reports to, in the one shape the disc sequences take: the front
// end's status and question interfaces side by side.
#pragma once

#include "authoring/run_status.h"
#include "burn/burn_front_end.h"

namespace vantrel {

class JobFrontEnd : public BurnFrontEnd {
 public:
  JobFrontEnd(RunStatus& status, RunQuestion& question) : status_(status), question_(question) {}

  void ShowStatus(const std::string& text, int position, int mode, int kind) override {
    status_.ShowStatus(text, position, mode, kind);
  }
  void SetProgressRange(int low, int high) override { status_.SetProgressRange(low, high); }
  void SetProgress(int position) override { status_.SetProgress(position); }
  void StartRunTimer() override { status_.StartRunTimer(); }
  void StopRunTimer() override { status_.StopRunTimer(); }
  bool AskYesNo(const std::string& text) override { return question_.AskYesNo(text); }
  void ShowMessage(const std::string& text) override { question_.ShowMessage(text); }

 private:
  RunStatus& status_;
  RunQuestion& question_;
};

// Installs the job's front end as the process's current run status and question for the
// life of the object (the burn dialog's status is read through them), and puts back what
// was installed before.
class ScopedCurrentFrontEnd {
 public:
  ScopedCurrentFrontEnd(RunStatus& status, RunQuestion& question)
      : previousStatus_(&CurrentRunStatus()), previousQuestion_(&CurrentRunQuestion()) {
    SetCurrentRunStatus(&status);
    SetCurrentRunQuestion(&question);
  }
  ~ScopedCurrentFrontEnd() {
    SetCurrentRunStatus(previousStatus_);
    SetCurrentRunQuestion(previousQuestion_);
  }
  ScopedCurrentFrontEnd(const ScopedCurrentFrontEnd&) = delete;
  ScopedCurrentFrontEnd& operator=(const ScopedCurrentFrontEnd&) = delete;

 private:
  RunStatus* previousStatus_;
  RunQuestion* previousQuestion_;
};

}  // namespace vantrel
