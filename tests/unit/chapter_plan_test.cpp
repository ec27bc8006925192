// SPDX-License-Identifier: GPL-3.0-or-later
// Chapter plans: where each kind puts its chapters, the guard before a title's end, the
// chapter limit, and the text dvd.xml takes.
#include "authoring/chapter_plan.h"

#include <gtest/gtest.h>

#include <cmath>

#include "authoring/dvd_script_writer.h"

namespace vantrel {
namespace {

using Times = std::vector<double>;

TEST(ChapterPlan, TheFixedPlanWritesTheTextEveryDiscHadAndKeepsClearOfTheEnd) {
  const ChapterPlan fixed;
  EXPECT_EQ(ChaptersText(ChapterTimes(fixed, 2 * 3600)), DvdScriptWriter::kChapters);
  EXPECT_EQ(ChaptersText(ChapterTimes(fixed, 0)), DvdScriptWriter::kChapters);  // length unknown
  // A 30-minute title has no chapter at 30:00 (its end) nor beyond it.
  EXPECT_EQ(ChapterTimes(fixed, 30 * 60), (Times{0, 900}));
  // Half a second after 15:00 ends the title: no chapter of half a second.
  EXPECT_EQ(ChapterTimes(fixed, 900.5), (Times{0}));
  EXPECT_EQ(ChapterTimes(fixed, 901.0), (Times{0, 900}));
  EXPECT_EQ(ChapterTimes(fixed, 0.4), (Times{0}));  // the first chapter always stays
}

TEST(ChapterPlan, EveryNMinutes) {
  ChapterPlan every{ChapterMode::kEveryMinutes, 5, {}};
  EXPECT_EQ(ChapterTimes(every, 16 * 60), (Times{0, 300, 600, 900}));
  EXPECT_EQ(ChapterTimes(every, 15 * 60 + 0.9), (Times{0, 300, 600}));
  every.everyMinutes = 1;
  EXPECT_EQ(ChapterTimes(every, 10 * 3600).size(), kMaxChapters);  // the DVD's limit
  EXPECT_EQ(ChapterTimes(every, 0).size(), kMaxChapters);
  for (int bad : {0, -3}) {
    every.everyMinutes = bad;
    EXPECT_EQ(ChapterTimes(every, 3600), (Times{0})) << bad;
  }
}

TEST(ChapterPlan, TheUsersTimesAreSortedCleanedAndKeptFromTheEnd) {
  const ChapterPlan times{ChapterMode::kTimes, 0, {600, 60.5, -5, 60.5, 1199.2, 1198.9, 3000, 0}};
  EXPECT_EQ(ChapterTimes(times, 1200), (Times{0, 60.5, 600, 1198.9}));
  // Marks less than a millisecond apart are one chapter.
  const ChapterPlan close{ChapterMode::kTimes, 0, {10, 10.0004, 10.002}};
  EXPECT_EQ(ChapterTimes(close, 100), (Times{0, 10, 10.002}));
}

TEST(ChapterPlan, TheSourcesMarksGoThroughTheSameRules) {
  const ChapterPlan source{ChapterMode::kSourceMarks, 0, {}};
  EXPECT_EQ(ChapterTimes(source, 100, {0, 25, 50, 99.5}), (Times{0, 25, 50}));
  EXPECT_EQ(ChapterTimes(source, 100, {}), (Times{0}));  // a source without marks
}

TEST(ChapterPlan, TextForTheAuthoringTool) {
  EXPECT_EQ(ChaptersText({0, 2.4, 59.999, 61, 3600, 3725.25}), "0,0:02.400,0:59.999,1:01,1:00:00,1:02:05.250");
}

TEST(ChapterPlan, TheScriptTakesAPlanPerTitleAndKeepsTheFixedOneOtherwise) {
  const std::string script = DvdScriptWriter::ComposeWithMenus(
      {}, {{"/a.mpg", "jump title 2;"}, {"/b.mpg", "jump title 3;"}, {"/c.mpg", "jump title 1;"}},
      {ChaptersText({0, 300}), ""});
  EXPECT_NE(script.find("<vob file=\"/a.mpg\" chapters=\"0,5:00\"/>"), std::string::npos) << script;
  EXPECT_NE(script.find("<vob file=\"/b.mpg\" chapters=\"0,15:00,30:00,45:00,1:00:00\"/>"), std::string::npos);
  EXPECT_NE(script.find("<vob file=\"/c.mpg\" chapters=\"0,15:00,30:00,45:00,1:00:00\"/>"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
