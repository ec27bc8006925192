#include "authoring/run_status.h"

#include <atomic>
#include <cstdio>

namespace vantrel {
namespace {

class SilentStatus : public RunStatus {
 public:
  void ShowStatus(const std::string&, int, int, int) override {}
  void SetProgressRange(int, int) override {}
  void SetProgress(int) override {}
};

// No front end to ask: the note still reaches the user's terminal, the answer is No.
class StderrQuestions : public Questions {
 public:
  bool AskYesNo(const std::string& text) override {
    std::fprintf(stderr, "%s (no answer given: No)\n", text.c_str());
    return false;
  }
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

SilentStatus gSilentStatus;
StderrQuestions gStderrQuestions;
std::atomic<RunStatus*> gStatus{nullptr};
std::atomic<Questions*> gQuestions{nullptr};

}  // namespace

RunStatus& CurrentRunStatus() {
  RunStatus* status = gStatus.load();
  return status ? *status : gSilentStatus;
}

void SetRunStatus(RunStatus* status) { gStatus.store(status); }

Questions& CurrentQuestions() {
  Questions* questions = gQuestions.load();
  return questions ? *questions : gStderrQuestions;
}

void SetQuestions(Questions* questions) { gQuestions.store(questions); }

}  // namespace vantrel
