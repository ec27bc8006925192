// SPDX-License-Identifier: GPL-3.0-or-later
// Inside a job: the run's status and question calls of the core's steps turned into calls
// of the job's observer. Lines go on as they are; the positions of the steps' own bars feed
// the whole job's progress; a question waits on the job's thread for its answer.
#pragma once

#include "burn/burn_front_end.h"
#include "jobs/job_observer.h"

namespace vantrel {

class ObservedFrontEnd : public BurnFrontEnd {
 public:
  ObservedFrontEnd(JobObserver& observer, RunProgress& progress) : observer_(observer), progress_(progress) {}

  void ShowStatus(const std::string& text, int position, int mode, int kind) override;
  void SetProgressRange(int low, int high) override;
  void SetProgress(int position) override;
  bool AskYesNo(const std::string& text) override;
  void ShowMessage(const std::string& text) override;

  // Asks the observer and waits for its answer.
  int Ask(const JobQuestion& question);

 private:
  JobObserver& observer_;
  RunProgress& progress_;
  std::mutex mutex_;
  int low_ = 0, high_ = 100;
};

}  // namespace vantrel
