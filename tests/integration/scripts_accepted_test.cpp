// SPDX-License-Identifier: GPL-3.0-or-later
// The scripts the writers produce, read back by independent tools, and the command lines
// run by a real shell with hostile file names.
#include <gtest/gtest.h>

#include <filesystem>

#include "authoring/command_templates.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/shell_command.h"
#include "authoring/spumux_script_writer.h"
#include "base/paths.h"
#include "menu/menu_model.h"
#include "project/title_list.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

const std::vector<std::string> kAwkwardNames = {
    "R&B live.mpg", "<tag>.mpg", "say \"hi\".mpg", "it's.mpg", "中文 标题.mpg", "$HOME `id`.mpg",
    "a'; touch pwned; '.mpg", "\"$(touch pwned)\".mpg", "plain.mpg", "tab\there.mpg",
    "semi;colon.mpg", "back\\slash.mpg", "emoji \xF0\x9F\x8E\xAC.mpg"};

std::string Xmllint(const std::string& path) { return "xmllint --noout " + ShellQuote(path); }

TEST(ScriptsAccepted, XmllintReadsEveryScriptForAwkwardNames) {
  test::TempFolder temp;
  const std::string work = temp / "work & <co> \"q\" '中'";
  const std::string intermediate = work + "/TEMP/";
  ASSERT_TRUE(MakeFolder(intermediate));
  TitleList titles;
  for (const std::string& name : kAwkwardNames) {
    auto r = std::make_unique<TitleRecord>();
    r->SourcePath = temp / name;
    r->DisplayTitle = StemOf(name);
    titles.AppendTitle(std::move(r), titles.Count());
  }
  MenuModel model(std::string(VANTREL_SOURCE_DIR) + "/data/layout.ini");
  for (bool ntsc : {false, true}) {
    model.Rebuild(titles, 0, ntsc);
    ASSERT_EQ(model.PageCount(), 3);
    for (int i = 0; i < model.PageCount(); ++i) {
      ASSERT_TRUE(SpumuxScriptWriter::Write(model.Page(i), intermediate, StandardOfNtscFlag(ntsc)));
      std::string script = SpumuxScriptWriter::ScriptPath(intermediate, i + 1);
      EXPECT_TRUE(ShellCommand(Xmllint(script))) << test::ReadText(script);
    }
    for (bool menu : {true, false}) {
      ASSERT_TRUE(DvdScriptWriter::Write(model, {menu, StandardOfNtscFlag(ntsc), intermediate, temp / "app & co/"}));
      std::string script = DvdScriptWriter::ScriptPath(intermediate);
      EXPECT_TRUE(ShellCommand(Xmllint(script))) << test::ReadText(script);
      // The parsed file names are the real ones, character for character.
      EXPECT_TRUE(ShellCommand("xmllint --xpath 'string(//titles/pgc[5]/vob/@file)' " +
                               ShellQuote(script) + " | grep -qF " +
                               ShellQuote(temp / "中文 标题.mpg")));
    }
  }
  EXPECT_FALSE(FileExists(temp / "pwned"));
}

TEST(ScriptsAccepted, HostileNamesReachTheToolIntactAndRunNothing) {
  test::TempFolder temp;
  // A stand-in tool in the current folder that records its arguments one per line.
  test::WriteText(temp / "ddas", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n");
  test::WriteText(temp / "j2v", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > j2v.txt\n");
  test::WriteText(temp / "encmpeg", "#!/bin/sh\ncat >/dev/null\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > enc.txt\n");
  for (const char* tool : {"ddas", "j2v", "encmpeg"})
    std::filesystem::permissions(temp / tool, std::filesystem::perms::owner_all);
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(temp.Path());

  const std::string dir = temp / "\"$(touch pwned)\" `touch pwned` $HOME \\";
  const std::string conf = temp / "a'; touch pwned; '.xml";
  EXPECT_TRUE(ShellCommand(AuthorCommand(dir, conf)));
  EXPECT_EQ(test::ReadText(temp / "args.txt"), "-o\n" + dir + "\n-x\n" + conf + "\n");

  const std::string jpeg = temp / "a'; touch pwned; '.jpg";
  const std::string m2v = temp / "\"$(touch pwned)\".m2v";
  EXPECT_TRUE(ShellCommand(StillToVideoCommand(jpeg, m2v, true)));
  EXPECT_EQ(test::ReadText(temp / "j2v.txt"), "-n\n1\n-I\nt\n-L\n1\n-f\n29.97\n-j\n" + jpeg + "\n");
  EXPECT_EQ(test::ReadText(temp / "enc.txt"),
            "-f\n8\n-b\n9000\n-o\n" + m2v + "\n--video-norm\nn\n--frame-rate\n4\n");
  std::filesystem::current_path(old);
  EXPECT_FALSE(FileExists(temp / "pwned"));
}

TEST(ScriptsAccepted, CommandLineFrontEndWritesTheScripts) {
  test::TempFolder temp;
  std::string line = "cd " + ShellQuote(temp.Path()) + " && ";
  std::filesystem::copy_file(std::string(VANTREL_APP_BUILD_DIR) + "/layout.ini", temp / "layout.ini");
  std::string videos;
  for (int i = 0; i < 14; ++i) {
    std::string name = temp / ("片 " + std::to_string(i) + " & 'x'.mpg");
    test::WriteText(name, "video");
    videos += " " + ShellQuote(name);
  }
  const std::string author = ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author");
  ASSERT_TRUE(ShellCommand(line + "VANTREL_APPDIR=" + ShellQuote(temp.Path()) + " " + author +
                           " author --scripts-only --pal --layout 2 --work " +
                           ShellQuote(temp / "work") + videos + " > out.txt"));
  
  for (const char* name : {"menu_mpg_spumux01.xml", "menu_mpg_spumux02.xml", "dvd.xml"})
    EXPECT_TRUE(ShellCommand(Xmllint(temp / "work/TEMP/" + name))) << name;
  EXPECT_FALSE(FileExists(temp / "work/TEMP/menu_mpg_spumux03.xml"));  // 14 titles, 12 a page
  EXPECT_NE(test::ReadText(temp / "out.txt").find("14 titles on 2 menu pages"), std::string::npos);

  // Bad input: a missing file is named and nothing is written.
  ShellResult missing = RunShell(author + " author --scripts-only --work " + ShellQuote(temp / "w2") +
                                 " /no/such.mpg 2>/dev/null");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_FALSE(FolderExists(temp / "w2"));
  EXPECT_EQ(RunShell(author + " author --layout 7 x.mpg 2>/dev/null").exitCode, 2);
}

}  // namespace
}  // namespace vantrel
