// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/run_progress.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "base/duration_text.h"
#include "base/text_format.h"

namespace vantrel {
namespace {

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The time left is guessed from the pace so far only once this much of the job and of the
// clock have passed; before that a guess jumps about more than it helps.
constexpr double kEstimateFromDone = 0.03;
constexpr double kEstimateFromSeconds = 3.0;

}  // namespace

const char* RunStepText(RunStep step) {
  switch (step) {
    case RunStep::Checks: return N_("检查标题");
    case RunStep::Titles: return N_("制作菜单和标题");
    case RunStep::Authoring: return N_("创建 DVD 结构");
    case RunStep::Proof: return N_("检查菜单按钮");
    case RunStep::Write: return N_("写入光盘");
    case RunStep::Erase: return N_("擦除光盘");
    case RunStep::Convert: return N_("转换视频文件");
  }
  return "";
}

std::string ProgressText(const JobProgress& p) {
  const std::string step = Tr(p.stepText.c_str());
  if (p.finished) return Format(Tr("步骤 %d/%d: %s，已完成"), p.stepNumber, p.steps, step.c_str());
  const std::string left = p.secondsLeft >= 0 ? DurationText(p.secondsLeft) : "";
  if (p.titles > 0 && !left.empty())
    return Format(Tr("步骤 %d/%d: %s，标题 %d/%d，剩余 %s"), p.stepNumber, p.steps, step.c_str(), p.title, p.titles,
                  left.c_str());
  if (p.titles > 0)
    return Format(Tr("步骤 %d/%d: %s，标题 %d/%d"), p.stepNumber, p.steps, step.c_str(), p.title, p.titles);
  if (!left.empty()) return Format(Tr("步骤 %d/%d: %s，剩余 %s"), p.stepNumber, p.steps, step.c_str(), left.c_str());
  return Format(Tr("步骤 %d/%d: %s"), p.stepNumber, p.steps, step.c_str());
}

RunProgress::RunProgress(Sink sink, Clock clock) : sink_(std::move(sink)), clock_(std::move(clock)) {
  if (!clock_) clock_ = SteadySeconds;
  started_ = clock_();
}

void RunProgress::Plan(RunStep step, double cost) {
  std::lock_guard lock(mutex_);
  Step& s = steps_[int(step)];
  s.planned = true;
  s.cost = std::max(0.0, cost);
  s.parts.clear();
  s.partDone.clear();
}

void RunProgress::PlanParts(RunStep step, std::vector<ProgressPart> parts) {
  std::lock_guard lock(mutex_);
  Step& s = steps_[int(step)];
  s.planned = true;
  s.parts = std::move(parts);
  s.partDone.assign(s.parts.size(), 0.0);
}

void RunProgress::Replan(RunStep step, const std::vector<double>& costs) {
  std::lock_guard lock(mutex_);
  Step& s = steps_[int(step)];
  for (std::size_t i = 0; i < costs.size() && i < s.parts.size(); ++i) s.parts[i].cost = std::max(0.0, costs[i]);
  Report(false);
}

double RunProgress::StepCost(const Step& step) const {
  if (step.parts.empty()) return step.cost;
  double cost = 0;
  for (const ProgressPart& part : step.parts) cost += part.cost;
  return cost;
}

double RunProgress::StepFraction(const Step& step) const {
  if (step.parts.empty()) return step.fraction;
  double cost = 0, done = 0;
  for (std::size_t i = 0; i < step.parts.size(); ++i) {
    cost += step.parts[i].cost;
    done += step.parts[i].cost * step.partDone[i];
  }
  if (cost > 0) return done / cost;
  // Parts of no weight: counted by number.
  double count = 0;
  for (double d : step.partDone) count += d;
  return step.parts.empty() ? 0 : count / double(step.parts.size());
}

void RunProgress::Enter(RunStep step) {
  std::lock_guard lock(mutex_);
  const int index = int(step);
  if (index <= current_) return;  // steps only go forward
  for (int i = std::max(current_, 0); i < index; ++i) {
    steps_[i].fraction = 1;
    std::fill(steps_[i].partDone.begin(), steps_[i].partDone.end(), 1.0);
  }
  steps_[index].planned = true;
  current_ = index;
  Report(true);
}

void RunProgress::StepDone(double fraction) {
  std::lock_guard lock(mutex_);
  if (current_ < 0) return;
  Step& s = steps_[current_];
  if (!s.parts.empty()) return;
  s.fraction = std::clamp(fraction, s.fraction, 1.0);
  Report(false);
}

void RunProgress::Part(int index, double fraction) {
  std::lock_guard lock(mutex_);
  if (current_ < 0) return;
  Step& s = steps_[current_];
  if (index < 0 || std::size_t(index) >= s.parts.size()) return;
  double& done = s.partDone[std::size_t(index)];
  done = std::clamp(fraction, done, 1.0);
  Report(false);
}

void RunProgress::Finish() {
  std::lock_guard lock(mutex_);
  finished_ = true;
  Report(true);
}

JobProgress RunProgress::Last() const {
  std::lock_guard lock(mutex_);
  return last_;
}

void RunProgress::Report(bool always) {
  JobProgress p;
  double total = 0, done = 0;
  int stepNumber = 0, steps = 0;
  for (int i = 0; i < kRunStepCount; ++i) {
    const Step& s = steps_[i];
    if (!s.planned) continue;
    ++steps;
    if (i <= current_) stepNumber = steps;
    const double cost = StepCost(s);
    total += cost;
    done += cost * (i < current_ ? 1.0 : i == current_ ? StepFraction(s) : 0.0);
  }
  if (current_ < 0) return;
  p.step = RunStep(current_);
  p.stepText = RunStepText(p.step);
  p.stepNumber = stepNumber;
  p.steps = steps;
  p.writing = p.step == RunStep::Write;
  const Step& now = steps_[current_];
  for (std::size_t i = 0; i < now.parts.size(); ++i) {
    if (now.parts[i].kind != PartKind::Title) continue;
    ++p.titles;
    if (now.partDone[i] >= 1.0) ++p.title;
  }
  // Title k of n: the first not yet made.
  if (p.titles > 0) p.title = std::min(p.title + 1, p.titles);
  const double fraction = finished_ ? 1.0 : total > 0 ? std::min(done / total, 1.0) : 0.0;
  p.done = std::max(fraction, last_.done);
  const double elapsed = clock_() - started_;
  p.finished = finished_;
  if (finished_) {
    p.secondsLeft = -1;
  } else if (p.done >= kEstimateFromDone && elapsed >= kEstimateFromSeconds) {
    p.secondsLeft = int(std::lround(elapsed * (1.0 - p.done) / p.done));
  }
  const int permille = int(p.done * 1000);
  const bool changed = always || permille != lastPermille_ || p.step != last_.step || p.title != last_.title ||
                       p.secondsLeft != last_.secondsLeft || p.finished != last_.finished;
  last_ = p;
  if (!changed) return;
  lastPermille_ = permille;
  if (sink_) sink_(p);
}

}  // namespace vantrel
