// SPDX-License-Identifier: GPL-3.0-or-later
// How the core talks to whoever watches a run: status lines, the event log and progress
// through `RunStatus`; Yes/No questions and notes through `RunQuestion`. Both are
// toolkit-free; a job hands its own to the steps it runs (jobs/observed_front_end.h turns
// them into calls of the job's observer). They may be called from the run's worker threads
// (the progress monitor), so implementations must be thread-safe.
#pragma once

#include <string>

namespace vantrel {

// Modes of ShowStatus.
enum StatusMode {
  kStatusLogAndProgress = 1,  // event-log line, status line and progress position
  kStatusProgress = 2,        // status line and progress position
  kStatusThenLog = 3,         // status line, then log line
  kLogThenStatus = 4,         // log line, then status line
};
// Colours of a status text.
enum StatusKind { kStatusGreen = 1, kStatusBlue = 2, kStatusRed = 3 };  // else black

class RunStatus {
 public:
  virtual ~RunStatus() = default;
  // `position` is the progress bar's position (0..100 unless a range was set).
  virtual void ShowStatus(const std::string& text, int position, int mode, int kind) {
    (void)text, (void)position, (void)mode, (void)kind;
  }
  virtual void SetProgressRange(int low, int high) { (void)low, (void)high; }
  virtual void SetProgress(int position) { (void)position; }
  // The one-second run timer (elapsed-time clock) of the status display.
  virtual void StartRunTimer() {}
  virtual void StopRunTimer() {}
};

class RunQuestion {
 public:
  virtual ~RunQuestion() = default;
  // True for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // A note the user acknowledges (a message box with OK); standard error by default.
  virtual void ShowMessage(const std::string& text);
};

}  // namespace vantrel
