// SPDX-License-Identifier: GPL-3.0-or-later
// The demo command authors a disc from its own clips: read back with libdvdread.
#include <gtest/gtest.h>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "support/dvd_reader.h"
#include "support/temp_folder.h"
#include "support/title_playback.h"

namespace vantrel {
namespace {

TEST(DemoDisc, ThreeTitlesTwoRepairedOneWithTwoChapters) {
  test::TempFolder temp;
  const std::string work = temp / "demo work";
  const std::string author = ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author");
  ShellResult run = RunShell(author + " demo --pal --work " + ShellQuote(work) + " > " +
                             ShellQuote(temp / "out.txt") + " 2>&1");
  const std::string out = test::ReadText(temp / "out.txt");
  ASSERT_TRUE(run.Succeeded()) << out;
  EXPECT_NE(out.find("转换完成"), std::string::npos);
  EXPECT_NE(out.find("repaired into (TaliroFixedDVD)海边 日落.mpg"), std::string::npos) << out;

  test::DvdFacts dvd = test::ReadDvd(work + "/DVD");
  ASSERT_EQ(dvd.titles.size(), 3u);
  EXPECT_NEAR(dvd.titles[0].seconds, 6, 0.3);
  EXPECT_NEAR(dvd.titles[1].seconds, 5, 0.3);
  EXPECT_NEAR(dvd.titles[2].seconds, 15 * 60 + 10, 2);
  EXPECT_EQ(dvd.titles[2].chapters, 2);  // 0 and 15:00
  ASSERT_EQ(dvd.menus.size(), 1u);
  EXPECT_EQ(dvd.menus[0].buttons, 3);
  // The repairs encode MPEG Layer II (the audio encoder's default), the sound the DVD-ready
  // third title carries: on the disc every title plays the title set's one audio stream.
  MakeFolder(temp / "dumps");
  test::DiscPlayback playback = test::ReadDiscPlayback(work + "/DVD", temp / "dumps");
  EXPECT_EQ(playback.setAudio, std::vector<std::string>{"mpeg1"});
  EXPECT_EQ(test::PlaybackFaults(playback), "") << out;
  // A second run reuses the clips and the work folder.
  EXPECT_TRUE(RunShell(author + " demo --pal --work " + ShellQuote(work) + " >/dev/null 2>&1").Succeeded());
}

}  // namespace
}  // namespace vantrel
