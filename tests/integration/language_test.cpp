// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author speaks the user's language: a whole run's event log in English under an
// English locale, the same run's log in the program's Chinese under a Chinese one, and the
// reasons of a failure in either.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "support/clips.h"
#include "support/dvd_reader.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

std::string Author() { return ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author"); }

// The command under a locale; LANGUAGE is cleared so that only the locale chooses.
int RunIn(const std::string& locale, const std::string& arguments, std::string& out) {
  return test::RunCapture("env LANGUAGE= LC_ALL=" + locale + " " + Author() + " " + arguments + " 2>&1", out);
}

bool HasHan(const std::string& text) {
  // CJK ideographs (U+4E00..U+9FFF) and CJK punctuation / full-width forms in UTF-8.
  static const std::regex han("\xe4[\xb8-\xbf]|[\xe5-\xe9][\x80-\xbf]|\xe3\x80|\xef\xbc");
  return std::regex_search(text, han);
}

TEST(Language, AWholeRunLogsInTheLocalesLanguage) {
  test::TempFolder temp;
  const std::string clip = temp / "beach.avi";
  test::MakeColourClip(clip, "-c:v mpeg4 -c:a mp2");
  struct Case {
    std::string locale;
    std::vector<std::string> lines;
  } cases[] = {
      {"en_US.UTF-8",
       {"Making the menu...", "Repairing MPEG files...", "Disc capacity: DVD-5", "Title 1 (beach.avi): video rate ",
        "fixing beach.avi into a DVD-compliant VOB", "Building the DVD structure...", "Menu check: 1 buttons correct",
        "Conversion finished"}},
      {"zh_CN.UTF-8",
       {"生成菜单...", "修复 MPEG 文件...", "光盘容量: DVD-5", "标题 1 (beach.avi): 视频码率 ", "fixing beach.avi 到 DVD 兼容的 VOB",
        "创建 DVD 结构...", "菜单检查: 1 个按钮正确", "转换完成"}},
  };
  for (const Case& c : cases) {
    const std::string work = temp / ("work-" + c.locale);
    std::string out;
    ASSERT_EQ(RunIn(c.locale, "author --pal --yes --work " + ShellQuote(work) + " " + ShellQuote(clip), out), 0)
        << c.locale << "\n" << out;
    std::size_t at = 0;
    for (const std::string& line : c.lines) {
      const std::size_t found = out.find(line, at);
      EXPECT_NE(found, std::string::npos) << c.locale << ": \"" << line << "\" in order\n" << out;
      if (found != std::string::npos) at = found;
    }
    if (c.locale[0] == 'e') {
      // The test's folder has a Chinese name of its own; the program's texts may not.
      std::string texts = out;
      for (std::size_t p; (p = texts.find(temp / "")) != std::string::npos;) texts.erase(p, (temp / "").size());
      EXPECT_FALSE(HasHan(texts)) << out;
    }
    const test::DvdFacts disc = test::ReadDvd(work + "/DVD");
    ASSERT_TRUE(disc.opened) << c.locale;
    EXPECT_EQ(disc.titles.size(), 1u) << c.locale;
  }
}

TEST(Language, AFailuresReasonIsInTheLocalesLanguage) {
  test::TempFolder temp;
  const std::string empty = temp / "empty.mpg";
  test::WriteText(empty, "");
  struct Case {
    std::string locale, says;
  } cases[] = {
      {"en_GB.UTF-8", "Cannot use title " + empty + ": the file is empty"},
      {"fr_FR.UTF-8", "Cannot use title " + empty + ": the file is empty"},  // no French: English
      {"zh_CN.UTF-8", "无法使用标题 " + empty + ": 文件是空的"},
      {"C.UTF-8", "无法使用标题 " + empty + ": 文件是空的"},  // the C locale keeps the originals
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_NE(RunIn(c.locale, "author --pal --no --work " + ShellQuote(temp / "work") + " " + ShellQuote(empty), out), 0);
    EXPECT_NE(out.find(c.says), std::string::npos) << c.locale << "\n" << out;
  }
}

TEST(Language, EveryHelpIsEnglishUnderAnEnglishLocale) {
  for (const char* command : {"", "author", "burn", "convert", "demo", "devices", "erase", "menu", "probe", "thumbnail"}) {
    std::string out;
    EXPECT_EQ(RunIn("en_US.UTF-8", std::string(command) + " --help", out), 0) << command;
    EXPECT_FALSE(HasHan(out)) << command << "\n" << out;
  }
  std::string out;
  RunIn("en_US.UTF-8", "menu --help", out);
  EXPECT_NE(out.find("(default \"Made with Vantrel\")"), std::string::npos) << out;
  RunIn("zh_CN.UTF-8", "menu --help", out);
  EXPECT_NE(out.find("(default \"由 Vantrel 创建\")"), std::string::npos) << out;
}

}  // namespace
}  // namespace vantrel
