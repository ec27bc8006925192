// SPDX-License-Identifier: GPL-3.0-or-later
// What the burn dialog makes of a medium, and the texts of the write sequence.
#include "burn/medium_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "burn/disc_library.h"
#include "burn/recorder_write.h"

namespace vantrel {
namespace {

MediumInfo Medium(const char* type, int state, double capacity) {
  MediumInfo info = PrefilledMediumInfo();
  std::memset(info.Type, 0, sizeof info.Type);
  std::strcpy(info.Type, type);
  info.State = state;
  info.Capacity = capacity;
  return info;
}

TEST(ClassifyMedium, DvdTypesAreWritableAndRewritableOnesErasable) {
  MediumView rw = ClassifyMedium(0, Medium("DVD+RW", 1, 4700372992.0));
  EXPECT_EQ(rw.kind, MediumKind::Dvd);
  EXPECT_EQ(rw.sizeText, "4482.63 MB");
  EXPECT_TRUE(rw.canWrite);
  EXPECT_TRUE(rw.canErase);
  EXPECT_FALSE(rw.blank);

  MediumView r = ClassifyMedium(0, Medium("DVD-R", 0, 1000.0));
  EXPECT_TRUE(r.canWrite);
  EXPECT_FALSE(r.canErase);
  EXPECT_TRUE(r.blank);
  EXPECT_EQ(r.sizeText, "4482.63 MB");  // the fixed text, not the record's capacity
  EXPECT_EQ(MediumRefusal(r), "");
}

TEST(WrittenMediumRule, AWrittenDiscIsAskedAboutWhenRewritableAndRefusedOtherwise) {
  EXPECT_EQ(WrittenMediumRule(ClassifyMedium(0, Medium("DVD+RW", 0, 1.0))), WrittenMedium::Blank);
  EXPECT_EQ(WrittenMediumRule(ClassifyMedium(0, Medium("DVD+RW", 1, 1.0))), WrittenMedium::AskFirst);
  EXPECT_EQ(WrittenMediumRule(ClassifyMedium(0, Medium("DVD-RW", 1, 1.0))), WrittenMedium::AskFirst);
  EXPECT_EQ(WrittenMediumRule(ClassifyMedium(0, Medium("DVD-R", 1, 1.0))), WrittenMedium::Refuse);
  EXPECT_EQ(WrittenMediumRule(ClassifyMedium(0, Medium("DVD+R DL", 1, 1.0))), WrittenMedium::Refuse);
  EXPECT_EQ(WrittenMediumRule(ClassifyMedium(FB_ERR_NO_MEDIUM, PrefilledMediumInfo())), WrittenMedium::Blank);
}

TEST(ClassifyMedium, CdRShowsItsCapacityAndIsRefused) {
  MediumView cd = ClassifyMedium(0, Medium("CD-R", 0, 737280000.0));
  EXPECT_EQ(cd.kind, MediumKind::NotDvd);
  EXPECT_EQ(cd.sizeText, "703.12 MB ");
  EXPECT_FALSE(cd.canWrite);
  EXPECT_FALSE(cd.canErase);
  EXPECT_EQ(MediumRefusal(cd), "不支持 CD-R");
}

TEST(ClassifyMedium, NoMediumAndOtherErrorsDisableEverything) {
  MediumView none = ClassifyMedium(FB_ERR_NO_MEDIUM, PrefilledMediumInfo());
  EXPECT_EQ(none.typeText, "没有载入介质");
  EXPECT_EQ(none.kind, MediumKind::None);
  EXPECT_EQ(MediumRefusal(none), "no media loaded");
  MediumView failed = ClassifyMedium(FB_ERR_DEVICE_UNUSABLE, PrefilledMediumInfo());
  EXPECT_EQ(failed.typeText, "");
  EXPECT_FALSE(failed.canWrite || failed.canErase);
}

TEST(SizeQuestion, AskedOnlyAbove448268Mb) {
  EXPECT_EQ(SizeQuestion(4482.68), "");
  EXPECT_EQ(SizeQuestion(4482.63), "");
  EXPECT_EQ(SizeQuestion(4482.69),
            "在 'VIDEO_TS' 中的文件大小为 4482.69MB，将可能超过光盘容量，您无论如何都要刻录光盘吗？");
  // The folder sizes around the limit, in bytes.
  EXPECT_EQ(SizeQuestion(4700428861.0 / 1048576.0), "");
  EXPECT_NE(SizeQuestion(4700439347.0 / 1048576.0), "");
}

class RecordingFrontEnd : public BurnFrontEnd {
 public:
  void ShowStatus(const std::string& text, int, int mode, int kind) override {
    lines.push_back(std::to_string(mode) + "/" + std::to_string(kind) + " " + text);
  }
  void SetProgress(int percent) override { progress.push_back(percent); }
  void ShowMessage(const std::string& text) override { lines.push_back("box " + text); }
  bool AskYesNo(const std::string& text) override {
    lines.push_back("ask " + text);
    return answer;
  }
  std::vector<std::string> lines;
  std::vector<int> progress;
  bool answer = false;
};

TEST(RecorderWrite, DoneTextsAndProgressOnlyWhileBurning) {
  RecordingFrontEnd ui;
  RecorderWrite write(ui);
  write.OnProcess(42.7f);  // no write running: nothing changes
  EXPECT_TRUE(ui.progress.empty());
  EXPECT_FALSE(write.Cancel());  // Cancel without a write neither asks nor aborts
  EXPECT_TRUE(ui.lines.empty());

  write.OnBurnDone("Writing the disc failed: No space left on device");
  ASSERT_EQ(ui.lines.size(), 2u);
  EXPECT_EQ(ui.lines[0], "2/3 写入光盘出错: Writing the disc failed: No space left on device");
  EXPECT_EQ(ui.lines[1], "3/3 写入光盘出错！");
  EXPECT_FALSE(write.Succeeded());
  write.OnBurnDone("");
  EXPECT_EQ(ui.lines.back(), "1/1 写入光盘成功完成！");
  EXPECT_TRUE(write.Succeeded());
}

TEST(RecorderWrite, RunOutputRequestNamesTheRunFolders) {
  WriteRequest request = RunOutputRequest("/home/u/vantrel_dvd", 'E', false);
  EXPECT_EQ(request.videoTsFolder, "/home/u/vantrel_dvd/DVD/VIDEO_TS");
  EXPECT_EQ(request.intermediateFolder, "/home/u/vantrel_dvd/TEMP/");
  EXPECT_EQ(request.deviceLetter, 'E');
  EXPECT_FALSE(request.burnproof);
}

}  // namespace
}  // namespace vantrel
