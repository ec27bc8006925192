// SPDX-License-Identifier: GPL-3.0-or-later
// The tool set written into a tool folder and run through ShellCommand.
#include "authoring/toolset.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "authoring/shell_command.h"
#include "base/paths.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

class InFolder {
 public:
  explicit InFolder(const std::string& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

TEST(ToolSet, WritesSixExecutablesThatRunTheInstalledTools) {
  test::TempFolder temp;
  ToolSet tools(temp / "app/TEMP");
  ASSERT_TRUE(tools.Write());
  for (const ToolEntry& tool : kTools) {
    SCOPED_TRACE(tool.fileName);
    std::string path = temp / "app/TEMP/" + tool.fileName;
    ASSERT_TRUE(FileExists(path));
    EXPECT_EQ(access(path.c_str(), X_OK), 0);
    EXPECT_NE(tools.FindInstalled(tool.program), "") << tool.program << " must be installed";
  }
  InFolder in(tools.Folder());
  // Each name reaches its real program: their usage texts name them.
  EXPECT_TRUE(ShellCommand("ddas -h 2>&1 | grep -q DVDAuthor::dvdauthor"));
  EXPECT_TRUE(ShellCommand("spumux -h 2>&1 | grep -q DVDAuthor::spumux"));
  EXPECT_TRUE(ShellCommand("j2v -h 2>&1 | grep -qi jpeg2yuv"));
  EXPECT_TRUE(ShellCommand("encmpeg --help 2>&1 | grep -qi mpeg2enc"));
  EXPECT_TRUE(ShellCommand("mpx --help 2>&1 | grep -qi mplex"));
  EXPECT_TRUE(ShellCommand("mtx -h 2>&1 | grep -qi mpgtx"));
}

TEST(ToolSet, RewritesAndRemovesWhatIsThere) {
  test::TempFolder temp;
  ToolSet tools(temp / "TEMP");
  ASSERT_TRUE(tools.Write());
  test::WriteText(temp / "TEMP/ddas", "stale content that is longer than any script ..........");
  chmod((temp / "TEMP/ddas").c_str(), 0644);
  ASSERT_TRUE(tools.Write());
  EXPECT_EQ(test::ReadText(temp / "TEMP/ddas"), tools.ScriptFor(kTools[0]));
  EXPECT_EQ(access((temp / "TEMP/ddas").c_str(), X_OK), 0);

  unlink((temp / "TEMP/mpx").c_str());
  test::WriteText(temp / "TEMP/keep.txt", "not ours");
  tools.Remove();
  for (const ToolEntry& tool : kTools) EXPECT_FALSE(FileExists(temp / "TEMP/" + tool.fileName));
  EXPECT_TRUE(FileExists(temp / "TEMP/keep.txt"));
  EXPECT_TRUE(FolderExists(temp / "TEMP"));

  // A run's own folder goes with its tools; the shared folder above it stays.
  ToolSet run(temp / "TEMP/run-77");
  ASSERT_TRUE(run.Write());
  run.Remove();
  EXPECT_FALSE(FolderExists(temp / "TEMP/run-77"));
  EXPECT_TRUE(FolderExists(temp / "TEMP"));
}

TEST(ToolSet, MissingProgramsAndUnwritableFolders) {
  test::TempFolder temp;
  ToolSet tools(temp / "TEMP");
  {
    test::ScopedEnv path("PATH", temp / "empty-bin");  // nothing installed there
    ASSERT_TRUE(tools.Write());
  }
  InFolder in(tools.Folder());
  ShellResult result = RunShell("ddas -o x 2> err.txt");
  EXPECT_EQ(result.exitCode, 127);
  EXPECT_EQ(test::ReadText(temp / "TEMP/err.txt"),
            "vantrel: dvdauthor is not installed (needed as ddas)\n");

  EXPECT_FALSE(ToolSet("/proc/vantrel/TEMP").Write());
}

}  // namespace
}  // namespace vantrel
