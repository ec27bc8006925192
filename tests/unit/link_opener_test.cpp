// SPDX-License-Identifier: GPL-3.0-or-later
// Opening links: the desktop's opener, the fallback to the program registered for HTML
// pages (run for real, through stand-in opener programs on PATH), and the failure texts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "app/link_opener.h"
#include "support/temp_folder.h"

namespace vantrel::app {
namespace {

using test::ReadText;
using test::ScopedEnv;
using test::TempFolder;
using test::WriteText;

TEST(LinkOpener, HandlerCommandLineCutsAtThePlaceholder) {
  EXPECT_EQ(HandlerCommandLine("firefox %u", "https://a.example/"), "firefox 'https://a.example/'");
  EXPECT_EQ(HandlerCommandLine("\"/opt/my browser/run\" --new \"%U\" --x", "x"),
            "\"/opt/my browser/run\" --new 'x'");
  EXPECT_EQ(HandlerCommandLine("browser", "x"), "browser 'x'");
  EXPECT_EQ(HandlerCommandLine("browser %f %u", "x"), "browser 'x'");
  // A link never leaves its one quoted word, whatever it holds.
  EXPECT_EQ(HandlerCommandLine("b %u", "a'; rm -rf ~; '"), "b 'a'\\''; rm -rf ~; '\\'''");
}

TEST(LinkOpener, FailureTextsByCode) {
  EXPECT_EQ(LinkFailureText(2), "无法打开超级链接:\n\n找不到指定的文件。");
  EXPECT_EQ(LinkFailureReason(0), "The operating system is out\nof memory or resources.");
  EXPECT_EQ(LinkFailureReason(26), "A sharing violation occurred. ");
  EXPECT_EQ(LinkFailureReason(31), "There is no application associated\nwith the given filename extension.");
  EXPECT_EQ(LinkFailureReason(33), "发生未知错误 (33).");
  EXPECT_EQ(LinkFailureReason(-5), "发生未知错误 (-5).");
}

class LinkFallbackTest : public ::testing::Test {
 protected:
  LinkFallbackTest()
      : path("PATH", folder / "bin"), dataHome("XDG_DATA_HOME", folder / "data"),
        dataDirs("XDG_DATA_DIRS", folder / "none") {
    mkdir((folder / "bin").c_str(), 0755);
    mkdir((folder / "data").c_str(), 0755);
    mkdir((folder / "data/applications").c_str(), 0755);
  }
  void Program(const std::string& name, const std::string& body) {
    WriteText(folder / ("bin/" + name), "#!/bin/sh\n" + body + "\n");
    chmod((folder / ("bin/" + name)).c_str(), 0755);
  }
  std::string WaitForFile(const std::string& file) {
    for (int i = 0; i < 100 && !std::ifstream(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return ReadText(file);
  }
  TempFolder folder;
  ScopedEnv path, dataHome, dataDirs;
};

TEST_F(LinkFallbackTest, TheOpenerIsUsedFirst) {
  Program("xdg-open", "echo \"$1\" > '" + folder / "opened" + "'");
  EXPECT_GT(OpenLink("https://vantrel.example/"), 32);
  EXPECT_EQ(ReadText(folder / "opened"), "https://vantrel.example/\n");
}

TEST_F(LinkFallbackTest, AFailingOpenerFallsBackToTheHtmlHandler) {
  Program("xdg-open", "exit 3");
  Program("xdg-mime", "[ \"$1 $2 $3\" = 'query default text/html' ] && echo browser.desktop");
  WriteText(folder / "record.sh", "echo \"$1\" > '" + folder / "handled" + "'\n");
  WriteText(folder / "data/applications/browser.desktop",
            "[Desktop Entry]\nName=Browser\nExec=/bin/sh '" + folder / "record.sh" + "' \"%u\"\n");
  EXPECT_GT(OpenLink("https://vantrel.example/?a=1&b=2"), 32);
  EXPECT_EQ(WaitForFile(folder / "handled"), "https://vantrel.example/?a=1&b=2\n");
}

TEST_F(LinkFallbackTest, FailuresOfTheFallbackHaveTheirCodes) {
  EXPECT_EQ(OpenLink("https://x.example/"), 31);  // neither program exists
  Program("xdg-mime", "echo missing.desktop");
  EXPECT_EQ(OpenLink("https://x.example/"), 2);
  WriteText(folder / "data/applications/missing.desktop", "[Desktop Entry]\nName=No command\n");
  EXPECT_EQ(OpenLink("https://x.example/"), 27);
}

}  // namespace
}  // namespace vantrel::app
