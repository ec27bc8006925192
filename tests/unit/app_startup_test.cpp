// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up's command lines and names, and the tip-of-the-day reading rules.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/startup_steps.h"
#include "app/tip_of_the_day.h"
#include "support/temp_folder.h"

namespace vantrel::app {
namespace {

using test::ScopedEnv;
using test::TempFolder;
using test::WriteText;

TEST(StartupSteps, RegistrationLinesNameTheShippedModulesAndQuoteTheFolder) {
  TempFolder folder;
  ScopedEnv appDir("VANTREL_APPDIR", folder / "a \"quoted\" $dir/");
  const auto lines = ComponentRegistrationCommands();
  ASSERT_EQ(lines.size(), 4u);
  const std::string escaped = folder.Path() + "/a \\\"quoted\\\" \\$dir/";
  EXPECT_EQ(lines[0], "regsvr32 \"" + escaped + "videoedit.ocx\" /s");
  EXPECT_EQ(lines[1], "regsvr32 \"" + escaped + "mpgfiltr.so\" /s");
  EXPECT_EQ(lines[2], "regsvr32 \"" + escaped + "Encorva.so\" /s");
  EXPECT_EQ(lines[3], "regsvr32 \"" + escaped + "Pallomer.dll\" /s");
  EXPECT_EQ(DecoderFilterCommand(true), "regsvr32 \"" + SystemFolder() + "/ffdshow.ax\" /u /s");
  EXPECT_EQ(DecoderFilterCommand(false), "regsvr32 \"" + SystemFolder() + "/ffdshow.ax\" /s");
}

TEST(StartupSteps, NamesOfSkinsLayoutsAndAutomationFlags) {
  EXPECT_EQ(SkinFileName(0), "");
  EXPECT_EQ(SkinFileName(1), "devior.smf");
  EXPECT_EQ(SkinFileName(2), "x-plus.smf");
  EXPECT_EQ(SkinFileName(3), "kromo.smf");
  EXPECT_EQ(SkinFileName(4), "");
  EXPECT_EQ(LayoutName(0), "6 缩略图");
  EXPECT_EQ(LayoutName(1), "8 缩略图");
  EXPECT_EQ(LayoutName(2), "12 缩略图");
  EXPECT_EQ(LayoutName(7), "12 缩略图");  // a damaged setting must not read past the table
  EXPECT_TRUE(IsAutomationStart({"-Embedding"}));
  EXPECT_TRUE(IsAutomationStart({"a.mpg", "/automation"}));
  EXPECT_FALSE(IsAutomationStart({"/home/me/Embedding.mpg"}));
}

class TipTest : public ::testing::Test {
 protected:
  std::string Tips() const { return folder / "tips.txt"; }
  TempFolder folder;
  AppProfile profile{folder / "vantrel.ini"};

  std::string FirstTipAfterOpen() {
    TipOfTheDay tips(profile, Tips());
    tips.Open();
    std::string text = tips.Text();
    tips.Close(false, true);
    return text;
  }
};

TEST_F(TipTest, MissingFileShowsItsTextAndDisablesNext) {
  TipOfTheDay tips(profile, folder / "none.txt");
  tips.Open();
  EXPECT_EQ(tips.Text(), "提示文件不存在于指定目录");
  EXPECT_FALSE(tips.NextEnabled());
  tips.Next();
  EXPECT_EQ(tips.Text(), "提示文件不存在于指定目录");
}

TEST_F(TipTest, SkipsCommentsAndBlankLinesWrapsAndResumesWhereItStopped) {
  WriteText(Tips(), "; comment\n\n\tindented\n first blank\n一\n二\n三\n");
  {
    TipOfTheDay tips(profile, Tips());
    tips.Open();
    EXPECT_EQ(tips.Text(), "一");
    tips.Next();
    EXPECT_EQ(tips.Text(), "二");
    tips.Close(true, false);
  }
  EXPECT_EQ(profile.GetInt("Tip", "StartUp", 0), 1);
  EXPECT_FALSE(TipOfTheDay::WantedAtStartUp(profile));
  TipOfTheDay again(profile, Tips());
  again.Open();
  EXPECT_EQ(again.Text(), "三");
  again.Next();
  EXPECT_EQ(again.Text(), "一");  // past the end: from the start again
  again.Close(true, true);
  EXPECT_TRUE(TipOfTheDay::WantedAtStartUp(profile));
}

TEST_F(TipTest, AChangedTimeStampStartsAtTheFirstTip) {
  WriteText(Tips(), "一\n二\n三\n");
  EXPECT_EQ(FirstTipAfterOpen(), "一");
  EXPECT_EQ(FirstTipAfterOpen(), "二");
  profile.WriteString("Tip", "TimeStamp", "Mon Jan  1 00:00:00 2001");
  EXPECT_EQ(FirstTipAfterOpen(), "一");
  EXPECT_EQ(profile.GetString("Tip", "TimeStamp", ""), TipOfTheDay::TimeStampText(Tips()));
}

TEST_F(TipTest, ClosingWithoutTheCloseButtonKeepsTheStartUpChoice) {
  WriteText(Tips(), "一\n");
  TipOfTheDay tips(profile, Tips());
  tips.Open();
  tips.Close(false, false);
  EXPECT_EQ(profile.GetInt("Tip", "StartUp", 0), 0);
  EXPECT_EQ(profile.GetInt("Tip", "FilePos", -1), 4);  // after "一\n"
}

TEST_F(TipTest, AFileWithoutTipsEndsTheSearch) {
  WriteText(Tips(), "; only comments\n\n   \n");
  TipOfTheDay tips(profile, Tips());
  tips.Open();  // must return
  EXPECT_EQ(tips.Text(), "读取提示文件时出错");
  WriteText(Tips(), "");
  TipOfTheDay empty(profile, Tips());
  empty.Open();
  EXPECT_EQ(empty.Text(), "读取提示文件时出错");
}

TEST_F(TipTest, LongLinesAreReadInPiecesOfTheBuffer) {
  WriteText(Tips(), std::string(1500, 'x') + "\n");
  TipOfTheDay tips(profile, Tips());
  tips.Open();
  EXPECT_EQ(tips.Text().size(), size_t(TipOfTheDay::kLineBuffer - 1));
  tips.Next();
  EXPECT_EQ(tips.Text(), std::string(1500 - 999, 'x'));
}

}  // namespace
}  // namespace vantrel::app
