// SPDX-License-Identifier: GPL-3.0-or-later
// The burn sequences' front end on a terminal: log lines with the time, a progress bar,
// notes on standard error, and Yes/No answered by --yes/--no or asked on the terminal.
#pragma once

#include <mutex>
#include <string>

#include "burn/burn_front_end.h"

namespace vantrel::cli {

enum class Answer { Ask, Yes, No };

class TerminalFrontEnd : public BurnFrontEnd {
 public:
  explicit TerminalFrontEnd(Answer answer);
  ~TerminalFrontEnd() override;

  void ShowStatus(const std::string& text, int position, int mode, int kind) override;
  void SetProgress(int percent) override;
  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  // Ends a progress bar's line so that what follows starts on a line of its own.
  void Finish();

 private:
  void EndProgressLine();

  Answer answer_;
  bool terminal_;
  std::mutex mutex_;  // the library's callbacks print from its thread
  bool progressShown_ = false;
  int lastPercent_ = -1;
  std::string lastStatus_;
};

// Parses "--yes" / "--no"; false for anything else.
bool ParseAnswer(const std::string& arg, Answer& answer);

}  // namespace vantrel::cli
