#include "authoring/run_status.h"

namespace vantrel {
namespace {

class AnswerNo : public RunQuestion {
 public:
  bool AskYesNo(const std::string&) override { return false; }
};

RunStatus gSilentStatus;
AnswerNo gAnswerNo;
RunStatus* gStatus = nullptr;
RunQuestion* gQuestion = nullptr;

}  // namespace

RunStatus& CurrentRunStatus() { return gStatus ? *gStatus : gSilentStatus; }
void SetCurrentRunStatus(RunStatus* status) { gStatus = status; }
RunQuestion& CurrentRunQuestion() { return gQuestion ? *gQuestion : gAnswerNo; }
void SetCurrentRunQuestion(RunQuestion* question) { gQuestion = question; }

}  // namespace vantrel
