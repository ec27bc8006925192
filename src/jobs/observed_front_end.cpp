// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/observed_front_end.h"

#include <future>
#include <memory>

#include "base/translation.h"

namespace vantrel {

JobQuestion YesNoQuestion(const std::string& text) { return {text, {N_("是"), N_("否")}}; }
JobQuestion Note(const std::string& text) { return {text, {N_("确定")}}; }

void ObservedFrontEnd::ShowStatus(const std::string& text, int position, int mode, int kind) {
  if (mode < kStatusLogAndProgress || mode > kLogThenStatus) return;
  observer_.OnLine({text, mode, kind});
  // A status line with its position (the DVD structure's growth) tells how far its step is.
  if (mode == kStatusProgress && position > 0) progress_.StepDone(position / 100.0);
}

void ObservedFrontEnd::SetProgressRange(int low, int high) {
  std::lock_guard lock(mutex_);
  low_ = low;
  high_ = std::max(high, low + 1);
}

void ObservedFrontEnd::SetProgress(int position) {
  double fraction;
  {
    std::lock_guard lock(mutex_);
    fraction = double(position - low_) / double(high_ - low_);
  }
  // The steps' own bars (the write, the image builder) say how far their step has come.
  progress_.StepDone(fraction);
}

int ObservedFrontEnd::Ask(const JobQuestion& question) {
  // Shared, so that an answer given after the job stopped waiting (never, as the job waits
  // to the end) or given twice lands nowhere harmful.
  auto given = std::make_shared<std::promise<int>>();
  auto once = std::make_shared<std::once_flag>();
  std::future<int> answered = given->get_future();
  observer_.OnQuestion(question, [given, once](int index) {
    std::call_once(*once, [&] { given->set_value(index); });
  });
  return answered.get();
}

bool ObservedFrontEnd::AskYesNo(const std::string& text) { return Ask(YesNoQuestion(text)) == kAnswerYes; }

void ObservedFrontEnd::ShowMessage(const std::string& text) { Ask(Note(text)); }

}  // namespace vantrel
