// What the disc-writing sequences need from whichever front end is open: the status line
// and event log, the progress bar, notes and Yes/No questions. The burn dialog answers with
// its controls and message boxes, vantrel-author with lines on the terminal and its flags.
#pragma once

#include <string>

namespace vantrel {

class BurnFrontEnd {
 public:
  virtual ~BurnFrontEnd() = default;
  // mode 1: log line, status line and progress; 2: status line and progress; 3: status
  // line, then log line; 4: log line, then status line. kind 1 green, 2 blue, 3 red.
  virtual void ShowStatus(const std::string& text, int position, int mode, int kind) = 0;
  virtual void SetProgress(int percent) = 0;
  // A note with only an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual bool AskYesNo(const std::string& text) = 0;
};

}  // namespace vantrel
