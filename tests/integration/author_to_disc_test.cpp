// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author author --device: the start run, then the recorder's write sequence, into
// an image-file recorder read back with libdvdread.
#include <gtest/gtest.h>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

TEST(AuthorToDisc, TheAuthoredDiscIsWrittenToTheChosenRecorder) {
  test::TempFolder temp;
  const std::string clip = temp / "片 'a' & b.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 2, false));
  const std::string iso = temp / "光盘 image.iso";
  const std::string author = "VANTREL_IMAGE_DRIVES=" + ShellQuote(iso) + " " +
                             ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                             " author --pal --menu --yes --work " + ShellQuote(temp / "work");
  ShellResult run = RunShell(author + " --device E " + ShellQuote(clip) + " > " +
                             ShellQuote(temp / "out.txt") + " 2>&1");
  const std::string out = test::ReadText(temp / "out.txt");
  ASSERT_TRUE(run.Succeeded()) << out;
  EXPECT_NE(out.find("写入光盘成功完成！"), std::string::npos) << out;
  EXPECT_EQ(out.find("转换完成"), std::string::npos);  // that ends a run to the hard disk
  // The titles were planned for the loaded medium.
  EXPECT_NE(out.find("光盘容量: DVD+RW，"), std::string::npos) << out;
  EXPECT_FALSE(FolderExists(temp / "work/TEMP"));     // a recorder run removes it
  test::DvdFacts disc = test::ReadDvd(iso);
  ASSERT_TRUE(disc.opened);
  ASSERT_EQ(disc.titles.size(), 1u);
  EXPECT_NEAR(disc.titles[0].seconds, 2, 0.2);
  ASSERT_EQ(disc.menus.size(), 1u);
  EXPECT_EQ(disc.menus[0].buttons, 1);

  // A letter no recorder has is refused before any authoring.
  ShellResult wrong = RunShell(author + " --device Q " + ShellQuote(clip) + " > " +
                               ShellQuote(temp / "wrong.txt") + " 2>&1");
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_EQ(test::ReadText(temp / "wrong.txt").find("生成菜单..."), std::string::npos);
}

TEST(AuthorToDisc, TheDiscSizeOptionsChooseWhatTheTitlesArePlannedFor) {
  test::TempFolder temp;
  const std::string clip = temp / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 1, false));
  const std::string author = ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                             " author --pal --no-menu --yes --work " + ShellQuote(temp / "work");
  for (const auto& [option, expected] : {std::pair{" --dvd9 ", "光盘容量: DVD-9 (8.5 GB)，8147.88MB"},
                                         {" --dvd5 ", "光盘容量: DVD-5 (4.7 GB)，4482.62MB"}}) {
    ShellResult run = RunShell(author + option + ShellQuote(clip) + " > " + ShellQuote(temp / "out.txt") + " 2>&1");
    const std::string out = test::ReadText(temp / "out.txt");
    ASSERT_TRUE(run.Succeeded()) << out;
    EXPECT_NE(out.find(expected), std::string::npos) << out;
    EXPECT_NE(out.find("标题 1 (a.mpg): 保持原样，"), std::string::npos) << out;
  }
  // A disc too small for the list even at the lowest rate: asked, and No ends the run.
  const std::string tooSmall = ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                               " author --pal --no-menu --no --disc-sectors 100 --work " +
                               ShellQuote(temp / "work");
  ShellResult run = RunShell(tooSmall + " " + ShellQuote(clip) + " > " + ShellQuote(temp / "out.txt") + " 2>&1");
  const std::string out = test::ReadText(temp / "out.txt");
  EXPECT_EQ(run.exitCode, 1) << out;
  EXPECT_NE(out.find("光盘容量: 100 个扇区，0.20MB"), std::string::npos) << out;
  EXPECT_NE(out.find("超过光盘容量 0.20MB。您无论如何都要继续吗？"), std::string::npos) << out;
  EXPECT_NE(out.find("被用户取消，文件大小超过光盘容量"), std::string::npos) << out;
}

}  // namespace
}  // namespace vantrel
