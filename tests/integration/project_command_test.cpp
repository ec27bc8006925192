// SPDX-License-Identifier: GPL-3.0-or-later
// The command line and project files: what it was given saved as a project, that project
// authored with options given over its choices, and a project whose titles are gone
// refused with them named. The disc is read back with libdvdread and lsdvd.
#include <gtest/gtest.h>

#include <filesystem>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "project/project_file.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

class ProjectCommand : public ::testing::Test {
 protected:
  void SetUp() override { test::PrepareAppFolder(temp_ / "app"); }
  // vantrel-author with the arguments, in a home of its own; its exit status, both outputs in `out`.
  int Cli(const std::string& arguments, std::string& out) const {
    return test::RunCapture("cd " + ShellQuote(temp_.Path()) + " && env HOME=" + ShellQuote(temp_ / "home") +
                                " XDG_CONFIG_HOME=" + ShellQuote(temp_ / "home/.config") +
                                " VANTREL_APPDIR=" + ShellQuote(temp_ / "app") + " timeout 300 " +
                                ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") + " " + arguments +
                                " </dev/null 2>&1",
                            out);
  }

  test::TempFolder temp_;
};

TEST_F(ProjectCommand, WhatTheCommandLineWasGivenRunsAgainAsAProject) {
  const std::string a = temp_ / "films/a.mpg", b = temp_ / "films/b.mpg";
  std::filesystem::create_directories(temp_ / "films");
  ASSERT_TRUE(test::MakeDvdClip(a, 2, false));
  ASSERT_TRUE(test::MakeDvdClip(b, 3, false, "smptebars"));
  const std::string project = temp_ / "disc.vantrel";
  std::string out;

  // Saved as given: the titles (stored relative to the project), the menu's header and the
  // choices; nothing is authored with --scripts-only.
  ASSERT_EQ(Cli("author --pal --menu --layout 1 --header 我的光盘 --work w1 --scripts-only --save-project " +
                    ShellQuote(project) + " films/a.mpg films/b.mpg",
                out),
            0)
      << out;
  EXPECT_NE(out.find("project: " + project), std::string::npos) << out;
  EXPECT_NE(test::ReadText(project).find("\"films/b.mpg\""), std::string::npos) << test::ReadText(project);
  ProjectRead read = ReadProjectFile(project);
  ASSERT_TRUE(read.opened) << read.error;
  ASSERT_EQ(read.project.titles.size(), 2u);
  EXPECT_EQ(read.project.titles[1].source, b);
  EXPECT_EQ(read.project.titles[1].caption, "b");
  EXPECT_EQ(read.project.menu.look.headerText, "我的光盘");
  EXPECT_EQ(read.project.menu.layout, 1);
  EXPECT_EQ(read.project.disc.resolution, 0);
  EXPECT_TRUE(read.project.disc.menu);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "w1/DVD/VIDEO_TS"));

  // The project authored, with the menu turned off on the command line: the options given
  // hold over the project's choices, the rest comes from the project.
  read.project.titles[0].caption = "第一部";
  std::string why;
  ASSERT_TRUE(WriteProjectFile(read.project, project, why)) << why;
  ASSERT_EQ(Cli("author disc.vantrel --no-menu --yes --work w2", out), 0) << out;
  const test::DvdFacts disc = test::ReadDvd(temp_ / "w2/DVD");
  ASSERT_TRUE(disc.opened) << out;
  ASSERT_EQ(disc.titles.size(), 2u);
  EXPECT_NEAR(disc.titles[0].seconds, 2.0, 0.3);
  EXPECT_NEAR(disc.titles[1].seconds, 3.0, 0.3);
  for (const auto& menu : disc.menus) EXPECT_EQ(menu.buttons, 0) << "no menu was asked for";
  std::string lsdvd;
  ASSERT_EQ(test::RunCapture("lsdvd -v " + ShellQuote(temp_ / "w2/DVD") + " 2>/dev/null", lsdvd), 0);
  EXPECT_NE(lsdvd.find("Format: PAL"), std::string::npos) << lsdvd;
  // The project file is left as it was.
  EXPECT_EQ(ReadProjectFile(project).project, read.project);
}

TEST_F(ProjectCommand, AProjectThatCannotBeRunIsRefusedWithItsReason) {
  const std::string a = temp_ / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 1, false));
  DiscProject project;
  project.titles.resize(2);
  project.titles[0].source = a;
  project.titles[0].caption = "a";
  project.titles[1].source = temp_ / "gone.mpg";
  project.titles[1].caption = "gone";
  std::string why, out;
  ASSERT_TRUE(WriteProjectFile(project, temp_ / "gone.vantrel", why)) << why;
  EXPECT_EQ(Cli("author gone.vantrel --yes --work w", out), 1) << out;
  EXPECT_NE(out.find("标题 2 的文件不在了: " + std::string(temp_ / "gone.mpg")), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(temp_ / "w/DVD"));

  // Damaged, and two projects at once: refused with the reason, before any work.
  test::WriteText(temp_ / "cut.vantrel", test::ReadText(temp_ / "gone.vantrel").substr(0, 40));
  EXPECT_EQ(Cli("author cut.vantrel --yes --work w", out), 1) << out;
  EXPECT_NE(out.find("cut.vantrel"), std::string::npos) << out;
  EXPECT_EQ(Cli("author cut.vantrel gone.vantrel", out), 2) << out;
  EXPECT_NE(out.find("one project file at a time"), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(temp_ / "w/DVD"));
}

}  // namespace
}  // namespace vantrel
