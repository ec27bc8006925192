// SPDX-License-Identifier: GPL-3.0-or-later
// The whole job's progress: steps weighed by their work, titles counted, the bar never going
// back, the time left only once it can be told.
#include "authoring/run_progress.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/translation.h"

namespace vantrel {
namespace {

struct Recorder {
  std::vector<JobProgress> seen;
  double now = 100;
  RunProgress Make() {
    return RunProgress([this](const JobProgress& p) { seen.push_back(p); }, [this] { return now; });
  }
};

TEST(RunProgress, StepsWeighByTheirWorkAndTheBarNeverGoesBack) {
  Recorder r;
  RunProgress progress = r.Make();
  progress.Plan(RunStep::Checks, 1);
  // The menus, a short title and a long one, worked at once.
  progress.PlanParts(RunStep::Titles, {{PartKind::Other, 2}, {PartKind::Title, 10}, {PartKind::Title, 90}});
  progress.Plan(RunStep::Authoring, 5);
  progress.Enter(RunStep::Checks);
  EXPECT_DOUBLE_EQ(r.seen.back().done, 0);
  EXPECT_EQ(r.seen.back().stepNumber, 1);
  EXPECT_EQ(r.seen.back().steps, 3);
  EXPECT_EQ(r.seen.back().titles, 0) << "no title count outside the titles' step";

  progress.Enter(RunStep::Titles);
  EXPECT_NEAR(r.seen.back().done, 1.0 / 108, 1e-9);
  EXPECT_EQ(r.seen.back().title, 1);
  EXPECT_EQ(r.seen.back().titles, 2);
  progress.Part(2, 0.5);  // the long title half made: it weighs nine times the short one
  EXPECT_NEAR(r.seen.back().done, 46.0 / 108, 1e-9);
  EXPECT_EQ(r.seen.back().title, 1) << "title k is the first not yet made";
  progress.Part(1, 1);
  EXPECT_NEAR(r.seen.back().done, 56.0 / 108, 1e-9);
  EXPECT_EQ(r.seen.back().title, 2);

  // Learning that the short title is encoded after all makes the job longer: the bar
  // holds where it was instead of jumping back.
  const double before = r.seen.back().done;
  progress.Replan(RunStep::Titles, {2, 100, 90});
  EXPECT_GE(r.seen.back().done, before);
  progress.Part(2, 0.25);  // less than before: ignored
  EXPECT_GE(r.seen.back().done, before);
  progress.StepDone(0.9);  // a step of parts goes by its parts
  EXPECT_GE(r.seen.back().done, before);

  progress.Enter(RunStep::Authoring);
  EXPECT_EQ(r.seen.back().stepNumber, 3);
  EXPECT_EQ(r.seen.back().titles, 0);
  progress.StepDone(0.5);
  progress.Enter(RunStep::Titles);  // steps only go forward
  EXPECT_EQ(r.seen.back().step, RunStep::Authoring);
  progress.Finish();
  EXPECT_DOUBLE_EQ(r.seen.back().done, 1);
  for (std::size_t i = 1; i < r.seen.size(); ++i) EXPECT_GE(r.seen[i].done, r.seen[i - 1].done) << i;
}

TEST(RunProgress, TimeLeftOnlyOnceThePaceCanBeTold) {
  Recorder r;
  RunProgress progress = r.Make();
  progress.Plan(RunStep::Write, 1);
  progress.Enter(RunStep::Write);
  EXPECT_TRUE(r.seen.back().writing);
  r.now += 1;
  progress.StepDone(0.5);  // half done after a second: too early to tell
  EXPECT_EQ(r.seen.back().secondsLeft, -1);
  r.now += 29;  // 30 s for 60 %: 20 s to go
  progress.StepDone(0.6);
  EXPECT_EQ(r.seen.back().secondsLeft, 20);
  progress.Finish();
  EXPECT_EQ(r.seen.back().secondsLeft, -1);
  EXPECT_TRUE(r.seen.back().finished);
}

TEST(RunProgress, TheProgressLineSaysStepTitleAndTimeLeft) {
  JobProgress p;
  p.stepText = RunStepText(RunStep::Titles);
  p.stepNumber = 2;
  p.steps = 4;
  EXPECT_EQ(ProgressText(p), "步骤 2/4: 制作菜单和标题");
  p.title = 3;
  p.titles = 13;
  EXPECT_EQ(ProgressText(p), "步骤 2/4: 制作菜单和标题，标题 3/13");
  p.secondsLeft = 95;
  EXPECT_EQ(ProgressText(p), "步骤 2/4: 制作菜单和标题，标题 3/13，剩余 00:01:35");
  p.titles = 0;
  EXPECT_EQ(ProgressText(p), "步骤 2/4: 制作菜单和标题，剩余 00:01:35");
  p.finished = true;
  EXPECT_EQ(ProgressText(p), "步骤 2/4: 制作菜单和标题，已完成");
}

}  // namespace
}  // namespace vantrel
