// SPDX-License-Identifier: GPL-3.0-or-later
// Path helpers, duration text, UTF conversion and run folders.
#include <gtest/gtest.h>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "authoring/run_folders.h"
#include "base/atomic_file.h"
#include "base/duration_text.h"
#include "base/paths.h"
#include "base/utf.h"
#include "base/xml_text.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

TEST(PathHelpers, NamesAndExtensions) {
  struct Case {
    std::string path, name, extension, stem, folder;
  };
  const Case cases[] = {
      {"/home/u/video/a.mpg", "a.mpg", "mpg", "a", "/home/u/video/"},
      {"a.b.AVI", "a.b.AVI", "AVI", "a.b", ""},
      {"/no/extension", "extension", "", "extension", "/no/"},
      {"/trailing/", "", "", "", "/trailing/"},
      {"", "", "", "", ""},
      {"/dir.with.dot/file", "file", "dot/file", "file", "/dir.with.dot/"},
      {"/视频/我的 电影.wmv", "我的 电影.wmv", "wmv", "我的 电影", "/视频/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileNameOf(c.path), c.name);
    EXPECT_EQ(ExtensionOf(c.path), c.extension);
    EXPECT_EQ(StemOf(c.path), c.stem);
    EXPECT_EQ(FolderOf(c.path), c.folder);
  }
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_TRUE(EqualsNoCase("AVI", "avi"));
  EXPECT_FALSE(EqualsNoCase("avi", "avi "));
}

TEST(PathHelpers, FoldersAndSizes) {
  test::TempFolder temp;
  const std::string deep = temp / "a/b/c";
  ASSERT_TRUE(MakeFolder(deep));
  EXPECT_TRUE(MakeFolder(deep));  // already there
  test::WriteText(deep + "/one", std::string(1000, 'x'));
  test::WriteText(temp / "a/two", std::string(24, 'y'));
  EXPECT_EQ(FolderSize(temp / "a"), 1024u);
  EXPECT_EQ(FileSize(deep + "/one"), 1000u);
  EXPECT_EQ(FileSize(temp / "missing"), 0u);
  EXPECT_EQ(FolderSize(temp / "missing"), 0u);

  // A link inside the tree is removed, never followed.
  const std::string keep = temp / "keep";
  ASSERT_TRUE(MakeFolder(keep));
  test::WriteText(keep + "/precious", "data");
  std::filesystem::create_directory_symlink(keep, temp / "a/link");
  EXPECT_TRUE(DeleteFolderTree(temp / "a"));
  EXPECT_FALSE(FolderExists(temp / "a"));
  EXPECT_TRUE(FileExists(keep + "/precious"));
  EXPECT_TRUE(DeleteFolderTree(temp / "never-existed"));
}

TEST(DurationText, WholeSecondsOnly) {
  EXPECT_EQ(DurationText(3725.9), "01:02:05");
  EXPECT_EQ(DurationText(0), "00:00:00");
  EXPECT_EQ(DurationText(59.999), "00:00:59");
  EXPECT_EQ(DurationText(360000), "100:00:00");
  EXPECT_EQ(DurationText(-5), "00:00:00");
}

TEST(Utf, RoundTripsAndCutsAtCharacterBoundaries) {
  const std::string text = "标题 a\xF0\x9F\x8E\xAC";  // CJK, ASCII and a character beyond U+FFFF
  std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide.size(), 6u);  // 2 + 2 + a surrogate pair
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8Prefix("标题", 4), "标");  // 3 bytes each: never half a character
  EXPECT_EQ(Utf8Prefix("标题", 6), "标题");
}

TEST(XmlText, EscapesReservedCharactersOnly) {
  EXPECT_EQ(XmlEscape("a&b<c>\"d'e 中文"), "a&amp;b&lt;c&gt;&quot;d&apos;e 中文");
  EXPECT_EQ(XmlEscape("/plain/path.mpg"), "/plain/path.mpg");
}

TEST(PendingFile, TheTargetChangesOnlyWhenTheNewFileIsComplete) {
  test::TempFolder temp;
  const std::string target = temp / "Settings.ini";
  test::WriteText(target, "old");
  chmod(target.c_str(), 0640);
  {
    PendingFile file;
    ASSERT_TRUE(file.Create(target));
    EXPECT_EQ(file.Path().rfind(target + ".part-", 0), 0u);
    test::WriteText(file.Path(), "half");
  }  // never committed: the temporary goes, the target stays
  EXPECT_EQ(test::ReadText(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);

  ASSERT_TRUE(WriteFileAtomically(target, "new"));
  EXPECT_EQ(test::ReadText(target), "new");
  struct stat info {};
  stat(target.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);  // the old file's permissions stay
  // A new file gets what the file creation mask allows.
  const mode_t mask = umask(027);
  ASSERT_TRUE(WriteFileAtomically(temp / "fresh.txt", "x"));
  umask(mask);
  stat((temp / "fresh.txt").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // A folder that is not there: nothing is written and the reason is kept.
  PendingFile nowhere;
  EXPECT_FALSE(nowhere.Create(temp / "none/x.ini"));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(nowhere.Commit());
}

TEST(RunFolders, DerivedFromWorkAndApplicationFolders) {
  test::TempFolder app;
  RunFolders folders = RunFolders::For("/home/u/vantrel_dvd/", app.Path());
  EXPECT_EQ(folders.work, "/home/u/vantrel_dvd");
  EXPECT_EQ(folders.intermediate, "/home/u/vantrel_dvd/TEMP/");
  EXPECT_EQ(folders.output, "/home/u/vantrel_dvd/DVD");
  const std::string ownPrefix = app.Path() + "/TEMP/run-" + std::to_string(getpid()) + "-";
  EXPECT_EQ(folders.tool.rfind(ownPrefix, 0), 0u) << folders.tool;
  // Two runs of one process never share a tool folder.
  EXPECT_NE(RunFolders::For("/home/u/vantrel_dvd/", app.Path()).tool, folders.tool);
  EXPECT_EQ(PageFileName("menu", 3, ".mpg"), "menu03.mpg");
  EXPECT_EQ(PageFileName("button_normal", 12, ".png"), "button_normal12.png");

  // An installed program cannot write beside itself: its tools go to the user's folder.
  test::ScopedEnv data("XDG_DATA_HOME", app / "data");
  EXPECT_EQ(FolderOf(RunFolders::For("/w", "/proc/").tool), app / "data/vantrel/TEMP/");
  EXPECT_EQ(RunFolders::For("relative/w", "/a").work, std::filesystem::current_path().string() + "/relative/w");
}

}  // namespace
}  // namespace vantrel
