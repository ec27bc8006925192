// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/log.h"
#include "authoring/run_status.h"

#include <atomic>
#include <cstdio>

namespace vantrel {
namespace {

class AnswerNo : public RunQuestion {
 public:
  bool AskYesNo(const std::string&) override { return false; }
};

RunStatus gSilentStatus;
AnswerNo gAnswerNo;
std::atomic<RunStatus*> gStatus{nullptr};
std::atomic<RunQuestion*> gQuestion{nullptr};

}  // namespace

void RunQuestion::ShowMessage(const std::string& text) { LogWarning(text); }

RunStatus& CurrentRunStatus() {
  RunStatus* status = gStatus.load();
  return status ? *status : gSilentStatus;
}
void SetCurrentRunStatus(RunStatus* status) { gStatus.store(status); }
RunQuestion& CurrentRunQuestion() {
  RunQuestion* question = gQuestion.load();
  return question ? *question : gAnswerNo;
}
void SetCurrentRunQuestion(RunQuestion* question) { gQuestion.store(question); }

}  // namespace vantrel
