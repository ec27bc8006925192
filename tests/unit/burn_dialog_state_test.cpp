// SPDX-License-Identifier: GPL-3.0-or-later
// The burn, folder-burn and erase dialogs' rules without windows: targets and medium
// classification, the event log, the clock, the erase bar and the quick-erase question.
#include "burn/burn_dialog_state.h"

#include <gtest/gtest.h>

#include <cstring>

#include "burn/disc_library.h"
#include "burn/erase_choice.h"
#include "burn/erase_sequence.h"
#include "burn/folder_write.h"
#include "burn/recorder_write.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

MediumView Medium(const char* type, int state, double capacity, int result = 0) {
  MediumInfo info = PrefilledMediumInfo();
  std::strcpy(info.Type, type);
  info.State = state;
  info.Capacity = capacity;
  return ClassifyMedium(result, info);
}

TEST(BurnDialogState, TargetsAreRecordersThenTheWorkFolder) {
  BurnTargets targets;
  targets.Load({"E: image /tmp/a.iso", "F: DVD-RW drive"}, "/home/u/vantrel_dvd");
  ASSERT_EQ(targets.Entries().size(), 3u);
  EXPECT_EQ(targets.Entries()[1].deviceIndex, 1);
  EXPECT_EQ(targets.Entries()[1].Letter(), 'F');
  EXPECT_EQ(targets.Entries()[2].kind, DeviceEntry::kWorkFolder);
  EXPECT_TRUE(targets.Entries()[2].IsWorkFolder());
  EXPECT_EQ(targets.Entries()[2].name, "/home/u/vantrel_dvd");
  targets.Load({}, "/w");
  EXPECT_EQ(targets.Entries().size(), 1u);
}

TEST(BurnDialogState, MediumDecidesStartAndErase) {
  BurnTargets targets;
  targets.Load({"E: recorder"}, "/w");
  targets.Choose(0, true);
  TargetControls c = targets.Refresh(Medium("DVD+RW", 1, 4.7e9));
  EXPECT_TRUE(c.startEnabled);
  EXPECT_TRUE(c.eraseEnabled);
  EXPECT_EQ(c.sizeText, "4482.63 MB");
  EXPECT_EQ(c.refusal, "");
  c = targets.Refresh(Medium("DVD-R", 0, 4.7e9));
  EXPECT_TRUE(c.startEnabled);
  EXPECT_FALSE(c.eraseEnabled);
  c = targets.Refresh(Medium("CD-R", 0, 734003200.0));  // 700 MB
  EXPECT_FALSE(c.startEnabled);
  EXPECT_FALSE(c.eraseEnabled);
  EXPECT_EQ(c.sizeText, "700.00 MB ");
  EXPECT_EQ(c.refusal, "不支持 CD-R");
  c = targets.Refresh(Medium("CD-RW", 1, 734003200.0));
  EXPECT_FALSE(c.startEnabled);
  EXPECT_TRUE(c.eraseEnabled);
  c = targets.Refresh(Medium("", 0, 0, FB_ERR_NO_MEDIUM));
  EXPECT_EQ(c.typeText, "没有载入介质");
  EXPECT_EQ(c.refusal, "no media loaded");
  EXPECT_FALSE(c.startEnabled || c.eraseEnabled);
  // A DVD seen before, then a read that fails otherwise: Start must not stay on.
  targets.Refresh(Medium("DVD-R", 0, 4.7e9));
  c = targets.Refresh(Medium("", 0, 0, FB_ERR_DEVICE_UNUSABLE));
  EXPECT_FALSE(c.typeChanged);
  EXPECT_FALSE(c.startEnabled || c.eraseEnabled);
  // The log says why the recorder cannot be used, not that it holds no medium.
  EXPECT_EQ(c.refusal.rfind("错误: ", 0), 0u) << c.refusal;
  // The work folder is always a target, never erasable.
  targets.Choose(1, true);
  c = targets.Refresh(Medium("", 0, 0, FB_ERR_NO_MEDIUM));
  EXPECT_TRUE(c.startEnabled);
  EXPECT_FALSE(c.eraseEnabled);
  EXPECT_EQ(c.refusal, "");
  // A device that refused the choice leaves no current entry and nothing to start.
  targets.Choose(0, false);
  EXPECT_EQ(targets.Current(), -1);
  c = targets.Refresh(Medium("DVD-R", 0, 4.7e9));
  EXPECT_FALSE(c.startEnabled || c.eraseEnabled);
}

TEST(BurnDialogState, LogKeeps256LinesWithTimeAndColour) {
  EXPECT_EQ(LogTimePrefix(9, 5, 7), " 9:05:07  ");
  EXPECT_EQ(LogTimePrefix(23, 59, 0), "23:59:00  ");
  EXPECT_EQ(LogLineColour(1), (LogRgb{0, 130, 0}));
  EXPECT_EQ(LogLineColour(2), (LogRgb{0, 0, 255}));
  EXPECT_EQ(LogLineColour(3), (LogRgb{255, 0, 0}));
  EXPECT_EQ(LogLineColour(0), (LogRgb{0, 0, 0}));
  EXPECT_EQ(LogLineColour(7), (LogRgb{0, 0, 0}));
  EventLog log;
  for (int i = 1; i <= 256; ++i) EXPECT_FALSE(log.Add(1, "line " + std::to_string(i)));
  EXPECT_TRUE(log.Add(3, "line 257"));
  ASSERT_EQ(log.Lines().size(), 256u);
  EXPECT_EQ(log.Lines().front().text, "line 2");
  EXPECT_EQ(log.Lines().back().text, "line 257");
  EXPECT_EQ(log.Lines().back().kind, 3);
}

TEST(BurnDialogState, ClockAndEraseBar) {
  EXPECT_EQ(ElapsedText(3725), "01:02:05");
  EXPECT_EQ(ElapsedText(0), "00:00:00");
  EXPECT_EQ(ElapsedText(360000), "100:00:00");
  EXPECT_EQ(NextEraseProgress(0), 2);
  EXPECT_EQ(NextEraseProgress(98), 100);
  EXPECT_EQ(NextEraseProgress(99), 1);
  EXPECT_EQ(NextEraseProgress(100), 2);
}

TEST(BurnDialogState, SizeQuestionAboveTheLimitOnly) {
  EXPECT_EQ(SizeQuestion(4482.68), "");
  EXPECT_EQ(SizeQuestion(4482.69),
            "在 'VIDEO_TS' 中的文件大小为 4482.69MB，将可能超过光盘容量，您无论如何都要刻录光盘吗？");
}

TEST(BurnDialogState, TheEraseQuestionNamesTheMedium) {
  EXPECT_EQ(EraseQuestion("DVD+RW"), "DVD+RW 并非空白，无法处理写入操作，除非是一张空白光盘。\n您想要擦除光盘吗？");
  // A medium the library names no type for keeps the original wording.
  EXPECT_EQ(EraseQuestion(FB_NDEF_TEXT), "CD-RW 并非空白，无法处理写入操作，除非是一张空白光盘。\n您想要擦除光盘吗？");
  // The erase dialog takes the question for any medium, and no other.
  EXPECT_TRUE(IsEraseQuestion(EraseQuestion("DVD-RW")));
  EXPECT_FALSE(IsEraseQuestion(kFullEraseQuestion));
  EXPECT_FALSE(IsEraseQuestion(Tr(kEraseQuestionText)));
}

TEST(BurnDialogState, UncheckingQuickEraseAsksAndNoKeepsItChecked) {
  test::RecordingStatus no(false);
  EraseChoice choice;
  EXPECT_EQ(choice.QuickFlag(), 1);
  EXPECT_TRUE(choice.BoxClicked(false, no));
  EXPECT_EQ(choice.QuickFlag(), 1);
  ASSERT_EQ(no.questions.size(), 1u);
  EXPECT_EQ(no.questions[0], kFullEraseQuestion);
  test::RecordingStatus yes(true);
  EXPECT_FALSE(choice.BoxClicked(false, yes));
  EXPECT_EQ(choice.QuickFlag(), 0);
  EXPECT_TRUE(choice.BoxClicked(true, yes));  // checking again asks nothing
  EXPECT_EQ(yes.questions.size(), 1u);
}

// The folder-burn dialog's checks before the library is called at all.
class RecordingFrontEnd : public BurnFrontEnd {
 public:
  bool AskYesNo(const std::string&) override { return false; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

TEST(BurnDialogClose, ABuildOrAWriteIsStoppedFirstAndAStopInProgressIsWaitedFor) {
  EXPECT_EQ(CloseStepFor(false, false, false), CloseStep::Close);
  EXPECT_EQ(CloseStepFor(true, false, false), CloseStep::AskStopRun);
  // A write runs after the build's job has ended; while both are set the write is asked about.
  EXPECT_EQ(CloseStepFor(true, true, false), CloseStep::AskCancelWrite);
  EXPECT_EQ(CloseStepFor(false, true, false), CloseStep::AskCancelWrite);
  EXPECT_EQ(CloseStepFor(true, false, true), CloseStep::WaitForStop);
  EXPECT_EQ(CloseStepFor(false, false, true), CloseStep::WaitForStop);
}

TEST(FolderWrite, AFolderWithoutTheSixFilesIsRefusedAndEmptied) {
  test::TempFolder temp;
  test::WriteText(temp / "VIDEO_TS.IFO", "x");
  RecordingFrontEnd ui;
  std::string folder = temp.Path();
  EXPECT_FALSE(PrepareFolderWrite(folder, ui));
  EXPECT_EQ(folder, "");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], kNotVideoTsFolder);
  EXPECT_FALSE(PrepareFolderProject("", ui));
  EXPECT_EQ(ui.messages.back(), kNoFolderChosen);
}

}  // namespace
}  // namespace vantrel
