// SPDX-License-Identifier: GPL-3.0-or-later
// The front end on a terminal: log lines with the time, a progress line, notes on standard
// error, and Yes/No answered by --yes/--no or asked on the terminal. TerminalJobObserver
// is a job's route to it.
#pragma once

#include <mutex>
#include <string>

#include "burn/burn_front_end.h"
#include "jobs/job_observer.h"

namespace vantrel::cli {

enum class Answer { Ask, Yes, No };

class TerminalFrontEnd : public BurnFrontEnd {
 public:
  explicit TerminalFrontEnd(Answer answer);
  ~TerminalFrontEnd() override;

  void ShowStatus(const std::string& text, int position, int mode, int kind) override;
  void SetProgress(int percent) override;
  // The whole job's progress line: the bar, the step, title k of n, the time left.
  void ShowProgress(const JobProgress& progress);
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
  std::string lastLine_;
};

// A job's observer that prints on the terminal as the job goes, from the job's thread.
class TerminalJobObserver : public JobObserver {
 public:
  explicit TerminalJobObserver(TerminalFrontEnd& terminal) : terminal_(terminal) {}
  void OnLine(const JobLine& line) override { terminal_.ShowStatus(line.text, 0, line.mode, line.kind); }
  void OnProgress(const JobProgress& progress) override { terminal_.ShowProgress(progress); }
  void OnQuestion(const JobQuestion& question, AnswerFunction answer) override;
  void OnEnd(const JobResult&) override { terminal_.Finish(); }

 private:
  TerminalFrontEnd& terminal_;
};

// The progress line as a terminal shows it ("[######      ]  45%  步骤 2/4: ..."), the bar
// `width` characters wide.
std::string ProgressLine(const JobProgress& progress, int width);

// Parses "--yes" / "--no"; false for anything else.
bool ParseAnswer(const std::string& arg, Answer& answer);

}  // namespace vantrel::cli
