// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion job reports through its observer, as every job does: the whole job's
// progress never goes back and ends finished, a question about a file in the way waits for
// the answer, and the end comes last.
#include "jobs/conversion_job.h"

#include <gtest/gtest.h>

#include "base/paths.h"
#include "support/media_check.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

TEST(ConversionJob, ProgressQuestionAndEndReachTheObserver) {
  test::TempFolder temp;
  const std::string source = temp / "clip.avi";
  ASSERT_TRUE(test::MakeClip("-f lavfi -i testsrc=s=320x240:r=25:d=2 -f lavfi -i sine=d=2 -c:v mpeg4 -c:a libmp3lame",
                             source));
  // The output is named .avi and written as .mpg, where a file of the user's lies: No keeps it.
  const std::string inTheWay = temp / "out.mpg";
  test::WriteText(inTheWay, "mine");
  test::RecordingStatus declining(false, false);
  ConversionJob kept({source, temp / "out.avi", TvStandard::Pal}, declining);
  JobResult result = kept.Run();
  EXPECT_FALSE(result.succeeded);
  ASSERT_EQ(declining.questions.size(), 1u);
  EXPECT_NE(declining.questions[0].find(inTheWay), std::string::npos);
  EXPECT_EQ(test::ReadText(inTheWay), "mine");
  ASSERT_EQ(declining.ends.size(), 1u);

  test::RecordingStatus agreeing(true, false);
  ConversionJob replaced({source, temp / "out.avi", TvStandard::Pal}, agreeing);
  result = replaced.Run();
  ASSERT_TRUE(result.succeeded) << result.reason;
  EXPECT_EQ(replaced.OutputPath(), inTheWay);
  EXPECT_EQ(test::ReadBack(inTheWay).height, 576);
  ASSERT_GE(agreeing.progress.size(), 2u);
  for (size_t k = 1; k < agreeing.progress.size(); ++k)
    EXPECT_GE(agreeing.progress[k].done, agreeing.progress[k - 1].done) << k;
  EXPECT_TRUE(agreeing.progress.back().finished);
  EXPECT_DOUBLE_EQ(agreeing.progress.back().done, 1.0);
  EXPECT_EQ(agreeing.progress.back().step, RunStep::Convert);
  ASSERT_EQ(agreeing.ends.size(), 1u);
  EXPECT_TRUE(agreeing.ends[0].succeeded);
}

}  // namespace
}  // namespace vantrel
