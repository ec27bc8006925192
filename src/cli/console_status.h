// The command line's run status and questions: status lines on standard output, Yes/No
// answered by a flag, or asked on the terminal when there is one.
#pragma once

#include "authoring/run_status.h"

namespace vantrel::cli {

class ConsoleRunStatus : public RunStatus {
 public:
  void ShowStatus(const std::string& text, int position, int mode, int kind) override;

 private:
  std::string lastText_;
  int lastPosition_ = -1;
};

class ConsoleQuestion : public RunQuestion {
 public:
  enum class Answer { kAsk, kYes, kNo };
  explicit ConsoleQuestion(Answer preset) : preset_(preset) {}
  bool AskYesNo(const std::string& text) override;

 private:
  Answer preset_;
};

}  // namespace vantrel::cli
