// How the core talks to whoever watches a run: status lines and progress through
// `RunStatus`, Yes/No questions through `RunQuestion`. Both are toolkit-free; the burn
// dialog and the command-line front end implement them and install them for the run.
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
};

// The run status of the open front end; a display that shows nothing when none is open.
RunStatus& CurrentRunStatus();
// Installs a display (nullptr restores the silent one). The caller keeps ownership.
void SetCurrentRunStatus(RunStatus* status);

// The question answerer of the open front end. Without one every question is answered
// No, the answer that stops a run instead of changing what it produces unasked.
RunQuestion& CurrentRunQuestion();
void SetCurrentRunQuestion(RunQuestion* question);

}  // namespace vantrel
