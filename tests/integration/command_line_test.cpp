// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author's command line as a user types it: help answers with status 0 on
// standard output, a mistake is named in one line with status 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <vector>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

std::string Author() { return ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author"); }

TEST(CommandLine, HelpIsAnAnswerEverywhere) {
  std::string out;
  EXPECT_EQ(test::RunCapture(Author() + " --help 2>/dev/null", out), 0);
  EXPECT_EQ(out.rfind("usage: vantrel-author", 0), 0u) << out;
  EXPECT_EQ(test::RunCapture(Author() + " 2>/dev/null", out), 2);
  EXPECT_TRUE(out.empty()) << "the usage of a mistake goes to standard error";
  EXPECT_EQ(test::RunCapture(Author() + " frobnicate 2>&1", out), 2);
  EXPECT_NE(out.find("unknown command frobnicate"), std::string::npos) << out;
  for (const char* command : {"author", "burn", "convert", "demo", "devices", "erase", "menu", "probe", "thumbnail"}) {
    EXPECT_EQ(test::RunCapture(Author() + " " + command + " --help 2>/dev/null", out), 0) << command;
    EXPECT_NE(out.find("usage:"), std::string::npos) << command << ": " << out;
  }
}

TEST(CommandLine, AuthorNamesWhatIsWrongInOneLine) {
  test::TempFolder temp;
  const std::string video = ShellQuote(temp / "a.mpg");
  struct Case {
    std::string arguments, says;
  } cases[] = {
      {"--layout 7 " + video, "--layout must be 0, 1 or 2, not 7"},
      {"--layout " + video, "--layout must be 0, 1 or 2, not " + temp / "a.mpg"},
      {video + " --work", "--work needs a value"},
      {"--work '' " + video, "--work needs a folder, not an empty text"},
      {video + " --header", "--header needs a value"},
      {"--fast " + video, "unknown option --fast"},
      {"--pal", "no video files were named"},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(test::RunCapture(Author() + " author " + c.arguments + " 2>&1", out), 2) << c.arguments;
    EXPECT_NE(out.find(c.says), std::string::npos) << c.arguments << "\n" << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
  }
  EXPECT_FALSE(FolderExists(temp / "DVD"));
}

TEST(CommandLine, ARegistryThatCannotBeUsedIsNamedWithItsReason) {
  test::TempFolder temp;
  const std::string clip = temp / "clip.avi";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 1 " + ShellQuote(clip)));
  test::WriteText(temp / "a file", "not a folder");
  test::ScopedEnv registry("VANTREL_REGISTRY_DIR", temp / "a file/registry");
  const std::string says = "the registry in " + temp / "a file/registry/" + " cannot be used: Not a directory";
  std::string out;
  EXPECT_EQ(test::RunCapture(Author() + " convert " + ShellQuote(clip) + " " + ShellQuote(temp / "x.mpg") + " 2>&1", out), 1);
  EXPECT_NE(out.find(says), std::string::npos) << out;
  const std::string client = ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/encorva-convert");
  EXPECT_EQ(test::RunCapture(client + " " + ShellQuote(clip) + " " + ShellQuote(temp / "y.mpg") + " 2>&1", out), 1);
  EXPECT_NE(out.find("the conversion component is not installed: " + says), std::string::npos) << out;
  EXPECT_FALSE(FileExists(temp / "x.mpg"));
}

// On a terminal (here one `script` gives the command) a progress line below the log follows
// the whole run: its percentage never goes back and ends at 100, it names the step of
// four and title k of 2, and the last says the run is done.
TEST(CommandLine, OnATerminalOneLineFollowsTheWholeJob) {
  test::TempFolder temp;
  test::PrepareAppFolder(temp / "app");
  const std::string a = temp / "a.mpg", b = temp / "b.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 2, false));
  ASSERT_TRUE(test::MakeDvdClip(b, 3, false, "smptebars"));
  const std::string command = "env VANTREL_APPDIR=" + ShellQuote(temp / "app") + " HOME=" + ShellQuote(temp.Path()) +
                              " timeout 300 " + Author() + " author --pal --no-menu --work " +
                              ShellQuote(temp / "work") + " " + ShellQuote(a) + " " + ShellQuote(b);
  std::string out;
  ASSERT_EQ(test::RunCapture("script -qec " + ShellQuote(command) + " /dev/null </dev/null", out), 0) << out;
  std::vector<int> percents;
  std::vector<std::string> lines;
  const std::regex progress(R"(\] +(\d+)%  (步骤 \d/\d: .*?) *$)");
  std::size_t start = 0;
  while (start < out.size()) {
    const std::size_t end = std::min(out.find_first_of("\r\n", start), out.size());
    std::smatch m;
    const std::string piece = out.substr(start, end - start);
    if (std::regex_search(piece, m, progress)) {
      percents.push_back(std::stoi(m[1]));
      lines.push_back(m[2]);
    }
    start = end + 1;
  }
  ASSERT_FALSE(percents.empty()) << out;
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << out;
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(lines.front(), "步骤 1/4: 检查标题");
  EXPECT_EQ(lines.back(), "步骤 4/4: 检查菜单按钮，已完成");
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
    return l.find("步骤 2/4: 制作菜单和标题，标题 ") == 0 && l.find("/2") != std::string::npos;
  })) << out;
  EXPECT_NE(out.find("转换完成"), std::string::npos);
  EXPECT_EQ(test::ReadDvd(temp / "work/DVD").titles.size(), 2u);
}

}  // namespace
}  // namespace vantrel
