// How a run talks to whichever front end is open: status lines, the event log and the
// progress bar go to a RunStatus; Yes/No questions and notes go to a Questions. The core
// never shows anything itself. Both may be called from the run's worker threads (the
// progress monitor), so implementations must be thread-safe.
#pragma once

#include <string>

namespace vantrel {

enum StatusMode {
  kStatusLogAndLine = 1,  // event-log line, status line and progress position
  kStatusLine = 2,        // status line and progress position
  kStatusLineThenLog = 3,
  kStatusLogThenLine = 4,
};

enum StatusKind { kStatusBlack = 0, kStatusGreen = 1, kStatusBlue = 2, kStatusRed = 3 };

class RunStatus {
 public:
  virtual ~RunStatus() = default;
  virtual void ShowStatus(const std::string& text, int position, int mode, int kind) = 0;
  // The progress bar; its range is 0 to 100 unless a step sets another.
  virtual void SetProgressRange(int low, int high) = 0;
  virtual void SetProgress(int position) = 0;
  // The run's one-second clock.
  virtual void StartTimer() {}
  virtual void StopTimer() {}
};

class Questions {
 public:
  virtual ~Questions() = default;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // A note the user acknowledges (a message box with OK).
  virtual void ShowMessage(const std::string& text) = 0;
};

// The process-wide status display and question box. Without an installed one, status goes
// nowhere, notes go to standard error and every question is answered No.
RunStatus& CurrentRunStatus();
void SetRunStatus(RunStatus* status);
Questions& CurrentQuestions();
void SetQuestions(Questions* questions);

}  // namespace vantrel
