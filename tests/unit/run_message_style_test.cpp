// SPDX-License-Identifier: GPL-3.0-or-later
// The caption and icon of each note and question a run shows.
#include "authoring/run_message_style.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/translation.h"

namespace vantrel {
namespace {

TEST(RunMessageStyle, BuilderFailuresAreErrorsCaptionedTip) {
  const BoxStyle error{"提示", BoxIcon::kError};
  EXPECT_EQ(RunNoteStyle("载入输入 INI 文件失败。"), error);
  EXPECT_EQ(RunNoteStyle("创建和保存菜单图像失败。"), error);
  EXPECT_EQ(RunNoteStyle("建立 DVD 失败。"), error);
  // Other notes, the builder's unfinished image among them, carry the information icon.
  const BoxStyle note{kProgramCaption, BoxIcon::kInformation};
  EXPECT_EQ(RunNoteStyle("创建 DVD 映象未完成。\r\n请在程序设置对话框中选择<授权之前转换/修复视频文件>。"), note);
  EXPECT_EQ(RunNoteStyle("刻录光盘失败。\r\n这可能是由于插入错误的媒体光盘所引起的。"), note);
  EXPECT_EQ(RunNoteStyle("无法修复(转换) /w/(TaliroFixedDVD)a.mpg"), note);
  // A failure named inside a longer text is not the builder's own box.
  EXPECT_EQ(RunNoteStyle("建立 DVD 失败。 (tools.log)"), note);
}

TEST(RunMessageStyle, LibraryErrorsAndBareRequestsHaveNoIcon) {
  const BoxStyle bare{kProgramCaption, BoxIcon::kNone};
  EXPECT_EQ(RunNoteStyle("错误: 光盘无法写入"), bare);
  EXPECT_EQ(RunNoteStyle("错误: 参数无效: /w/DVD/VIDEO_TS"), bare);
  EXPECT_EQ(RunNoteStyle("not support"), bare);
  EXPECT_EQ(RunNoteStyle("光盘空白。"), bare);
  EXPECT_EQ(RunNoteStyle("请先选择 'VIDEO_TS' 文件夹。"), bare);
  // The same texts in English.
  const std::vector<std::string> folders = LocaleFolders(std::string(VANTREL_APP_BUILD_DIR) + "/");
  ASSERT_TRUE(UseLanguage("en", folders));
  EXPECT_EQ(RunNoteStyle(Tr("错误: %s")), bare);
  EXPECT_EQ(RunNoteStyle(Tr("请先选择 'VIDEO_TS' 文件夹。")), bare);
  EXPECT_EQ(RunNoteStyle(Tr("建立 DVD 失败。")), (BoxStyle{Tr("提示"), BoxIcon::kError}));
  EXPECT_NE(Tr("提示"), "提示");
  EXPECT_EQ(RunNoteStyle(Tr("找不到 DVD 刻录机。")), (BoxStyle{kProgramCaption, BoxIcon::kInformation}));
  ASSERT_TRUE(UseLanguage("zh_CN", folders));
  // An error named later in a note does not take the note's icon away.
  EXPECT_EQ(RunNoteStyle("找不到 DVD 刻录机。 错误: 1"), (BoxStyle{kProgramCaption, BoxIcon::kInformation}));
}

TEST(RunMessageStyle, OnlyTheSizeQuestionHasNoIcon) {
  EXPECT_EQ(RunQuestionStyle("在 'VIDEO_TS' 中的文件大小为 4500.00MB，将可能超过光盘容量，您无论如何都要刻录光盘吗？"),
            (BoxStyle{kProgramCaption, BoxIcon::kNone}));
  EXPECT_EQ(RunQuestionStyle("创建菜单失败，您想要继续吗？"), (BoxStyle{kProgramCaption, BoxIcon::kInformation}));
  EXPECT_EQ(RunQuestionStyle("取消写入将可能损坏您的光盘，您想要取消吗？"),
            (BoxStyle{kProgramCaption, BoxIcon::kInformation}));
}

}  // namespace
}  // namespace vantrel
