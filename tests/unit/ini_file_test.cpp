// SPDX-License-Identifier: GPL-3.0-or-later
// Private-profile read and write rules of IniFile.
#include "base/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace vantrel {
namespace {

TEST(IniFileRead, FollowsPrivateProfileRules) {
  test::TempFolder temp;
  test::WriteText(temp / "a.ini",
                  "top=ignored\n"
                  "; comment=not a key\n"
                  "[General]\n"
                  "  Skin = 3  \n"
                  "quoted=\"  spaced  \"\n"
                  "single='x'\n"
                  "empty=\n"
                  "skin=second occurrence\n"
                  "garbage line without equals\n"
                  "[other]\r\n"
                  "skin=7\r\n"
                  "[general]\n"
                  "late=in a repeated section\n");
  IniFile ini(temp / "a.ini");
  EXPECT_EQ(ini.ReadString("general", "SKIN", "d"), "3");
  EXPECT_EQ(ini.ReadString("general", "quoted", "d"), "  spaced  ");
  EXPECT_EQ(ini.ReadString("general", "single", "d"), "x");
  EXPECT_EQ(ini.ReadString("general", "empty", "d"), "");
  EXPECT_EQ(ini.ReadString("general", "missing", "d"), "d");
  EXPECT_EQ(ini.ReadString("general", "top", "d"), "d");
  EXPECT_EQ(ini.ReadString("general", "; comment", "d"), "d");
  EXPECT_EQ(ini.ReadString("general", "late", "d"), "d");  // the first section decides
  EXPECT_EQ(ini.ReadString("OTHER", "skin", "d"), "7");
  EXPECT_EQ(ini.ReadString("nosuch", "skin", "d"), "d");
  EXPECT_EQ(IniFile(temp / "missing.ini").ReadString("general", "skin", "d"), "d");
}

TEST(IniFileRead, IntegersAndTheReadBuffer) {
  test::TempFolder temp;
  test::WriteText(temp / "a.ini", "[s]\nnum=12abc\nword=abc\nneg=-4\nempty=\nlong=" +
                                      std::string(2000, 'x') + "\n");
  IniFile ini(temp / "a.ini");
  EXPECT_EQ(ini.ReadInt("s", "num", 99), 12);
  EXPECT_EQ(ini.ReadInt("s", "word", 99), 0);
  EXPECT_EQ(ini.ReadInt("s", "neg", 99), -4);
  EXPECT_EQ(ini.ReadInt("s", "empty", 99), 99);
  EXPECT_EQ(ini.ReadInt("s", "missing", 99), 99);
  EXPECT_EQ(ini.ReadString("s", "long", "").size(), IniFile::kReadBufferSize - 1);
}

TEST(IniFileWrite, KeepsEverythingElseInPlace) {
  test::TempFolder temp;
  const std::string path = temp / "a.ini";
  test::WriteText(path,
                  "; settings of a user\n"
                  "[general]\n"
                  "skin=1\n"
                  "\n"
                  "[dvd]\n"
                  "Zoom=0\n"
                  "custom=kept\n"
                  "\n");
  chmod(path.c_str(), 0640);
  IniFile ini(path);
  ASSERT_TRUE(ini.WriteString("DVD", "zoom", "1"));         // replaced in place
  ASSERT_TRUE(ini.WriteString("general", "layout", "2"));   // appended to its section
  ASSERT_TRUE(ini.WriteInt("menu", "headline", 0));         // a new section at the end
  ASSERT_TRUE(ini.WriteString("menu", "text", "two\nlines"));
  EXPECT_EQ(test::ReadText(path),
            "; settings of a user\n"
            "[general]\n"
            "skin=1\n"
            "layout=2\n"
            "\n"
            "[dvd]\n"
            "zoom=1\n"
            "custom=kept\n"
            "\n"
            "[menu]\n"
            "headline=0\n"
            "text=two lines\n");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // Nothing but the file itself is left in the folder (no temporary files).
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(temp.Path())) (void)e, ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(IniFileWrite, KeepsWindowsLineEndsAndCreatesMissingFiles) {
  test::TempFolder temp;
  test::WriteText(temp / "crlf.ini", "[a]\r\nx=1\r\n");
  IniFile crlf(temp / "crlf.ini");
  ASSERT_TRUE(crlf.WriteString("a", "y", "2"));
  EXPECT_EQ(test::ReadText(temp / "crlf.ini"), "[a]\r\nx=1\r\ny=2\r\n");

  IniFile fresh(temp / "new.ini");
  ASSERT_TRUE(fresh.WriteString("中文", "名字", "标题"));
  EXPECT_EQ(fresh.ReadString("中文", "名字", ""), "标题");

  IniFile nowhere("/proc/no such folder/x.ini");
  EXPECT_FALSE(nowhere.WriteString("a", "b", "c"));
}

}  // namespace
}  // namespace vantrel
