// SPDX-License-Identifier: GPL-3.0-or-later
// Progress of a whole job: its steps in order, each weighted by the work it is expected to
// take (an encode by the length of its title), folded into one fraction that never goes
// back, with the step at work, title k of n while titles are made, and the time left once
// enough of the job has passed to tell.
//
//   RunProgress progress([&](const JobProgress& p) { Show(p); });
//   progress.Plan(RunStep::Checks, 2);
//   progress.PlanParts(RunStep::Titles, {{PartKind::Title, 95.0}, {PartKind::Title, 12.0}});
//   progress.Enter(RunStep::Titles);
//   progress.Part(1, 0.5);            // title 2 half made (any thread)
//   progress.Finish();                // 100 %
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/translation.h"

namespace vantrel {

// The steps a job may take, in the order they come.
enum class RunStep { Checks, Titles, Authoring, Proof, Write, Erase, Convert };
inline constexpr int kRunStepCount = 7;

// What the front end shows of a job's progress.
struct JobProgress {
  RunStep step = RunStep::Checks;
  std::string stepText;   // the step in the user's words
  int stepNumber = 0;     // 1-based among the steps this job takes
  int steps = 0;
  int title = 0;          // title k of n while titles are made; 0 otherwise
  int titles = 0;
  double done = 0;        // the whole job, 0..1, never less than an earlier report
  int secondsLeft = -1;   // -1 until it can be estimated
  bool writing = false;   // the job writes to a recorder: a cancel now stops a write
  bool finished = false;  // the job has done all it had to
};

// The step's name as the event log and the progress line show it.
const char* RunStepText(RunStep step);
// "步骤 2/4: 制作菜单和标题，标题 3/13，剩余 00:01:20" in the user's language.
std::string ProgressText(const JobProgress& progress);

enum class PartKind { Title, Other };
struct ProgressPart {
  PartKind kind = PartKind::Other;
  double cost = 1;
};

class RunProgress {
 public:
  using Sink = std::function<void(const JobProgress&)>;
  // Seconds on a steady clock; tests give their own.
  using Clock = std::function<double()>;

  explicit RunProgress(Sink sink, Clock clock = {});

  // The step's expected work, before the job enters it. Steps never planned are skipped.
  void Plan(RunStep step, double cost);
  // A step made of parts worked at once (the titles, the menus beside them).
  void PlanParts(RunStep step, std::vector<ProgressPart> parts);
  // The costs of a planned step's parts once they are better known (which titles are encoded).
  void Replan(RunStep step, const std::vector<double>& costs);
  // Every step before `step` counts as done.
  void Enter(RunStep step);
  // How far the current step has come (0..1); ignored in a step of parts.
  void StepDone(double fraction);
  // How far part `index` of the current step has come (0..1).
  void Part(int index, double fraction);
  void Finish();
  JobProgress Last() const;

 private:
  struct Step {
    bool planned = false;
    double cost = 0;
    double fraction = 0;
    std::vector<ProgressPart> parts;
    std::vector<double> partDone;
  };
  double StepFraction(const Step& step) const;
  double StepCost(const Step& step) const;
  // With mutex_ held: the progress now, sent when it shows something new.
  void Report(bool always);

  Sink sink_;
  Clock clock_;
  mutable std::mutex mutex_;
  Step steps_[kRunStepCount];
  int current_ = -1;
  double started_ = 0;
  bool finished_ = false;
  JobProgress last_;
  int lastPermille_ = -1;
};

}  // namespace vantrel
