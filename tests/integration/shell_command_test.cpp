// SPDX-License-Identifier: GPL-3.0-or-later
// ShellCommand with real child processes.
#include "authoring/shell_command.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "authoring/command_templates.h"
#include "base/message_pump.h"
#include "base/paths.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

// Runs the test body with the given folder as the current directory.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

TEST(ShellCommand, ExitStatusDecides) {
  EXPECT_TRUE(ShellCommand("true"));
  ShellResult three = RunShell("exit 3");
  EXPECT_TRUE(three.started);
  EXPECT_EQ(three.exitCode, 3);
  EXPECT_FALSE(three.Succeeded());
  ShellResult killed = RunShell("kill -9 $$");
  EXPECT_EQ(killed.signal, 9);
  EXPECT_FALSE(killed.Succeeded());
  EXPECT_FALSE(ShellCommand("no-such-program-anywhere 2>/dev/null"));
}

TEST(ShellCommand, FailureEvenWhenTheOutputWasWritten) {
  test::TempFolder temp;
  InFolder in(temp.Path());
  EXPECT_FALSE(ShellCommand("echo data > out.txt; exit 1"));
  EXPECT_EQ(test::ReadText(temp / "out.txt"), "data\n");
  EXPECT_FALSE(ShellCommand("echo x | false"));  // the last program of a pipe decides
  EXPECT_TRUE(ShellCommand("false | true"));
}

TEST(ShellCommand, BareNamesResolveInTheCurrentFolderFirst) {
  test::TempFolder temp;
  // "ls" is also installed: the copy in the current folder must win.
  test::WriteText(temp / "ls", "#!/bin/sh\necho shadowed > shadow.txt\nexit 0\n");
  std::filesystem::permissions(temp / "ls", std::filesystem::perms::owner_all);
  InFolder in(temp.Path());
  EXPECT_TRUE(ShellCommand("ls"));
  EXPECT_TRUE(FileExists(temp / "shadow.txt"));
}

TEST(ShellCommand, PumpsMessagesWhileTheChildRuns) {
  int pumped = 0;
  SetMessagePump([&] { ++pumped; });
  EXPECT_TRUE(ShellCommand("sleep 0.4"));
  SetMessagePump(nullptr);
  EXPECT_GE(pumped, 4);  // every 50 ms: a 0.4 s child cannot end before the fourth
}

TEST(ShellCommand, ChildGetsDefaultSignalHandling) {
  // The program ignores SIGPIPE (disc writing does); a pipe's writer must still die of it.
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old);
  ShellResult result = RunShell("yes | head -c 10 >/dev/null; exit 0");
  sigaction(SIGPIPE, &old, nullptr);
  EXPECT_TRUE(result.Succeeded());  // finishes instead of spinning on EPIPE forever
}

TEST(ShellCommand, TheToolsContextIsTheChildsAlone) {
  // The tools' folder is the child's working folder and first on its PATH, the run's
  // variables are the child's, its output goes to the run's log; this process keeps its own.
  test::TempFolder temp;
  MakeFolder(temp / "tools 'x'");
  test::WriteText(temp / "tools 'x'/ls", "#!/bin/sh\necho \"tool in $(pwd) for $VIDEO_FORMAT\"\n");
  std::filesystem::permissions(temp / "tools 'x'/ls", std::filesystem::perms::owner_all);
  const std::string folderBefore = std::filesystem::current_path().string();
  ASSERT_EQ(std::getenv("VIDEO_FORMAT"), nullptr);
  const ShellContext context{temp / "tools 'x'", {"VIDEO_FORMAT=NTSC"}, temp / "run.log"};
  EXPECT_TRUE(ShellCommand("ls; echo to-stderr >&2", context));
  EXPECT_TRUE(ShellCommand("ls", context));  // appended, not replaced
  EXPECT_EQ(test::ReadText(temp / "run.log"), "tool in " + temp / "tools 'x'" + " for NTSC\nto-stderr\n" +
                                                   "tool in " + temp / "tools 'x'" + " for NTSC\n");
  EXPECT_EQ(std::filesystem::current_path().string(), folderBefore);
  EXPECT_EQ(std::getenv("VIDEO_FORMAT"), nullptr);
  // A folder that is not there: the command does not run anywhere else.
  ShellResult missing = RunShell("echo ran > " + ShellQuote(temp / "ran.txt"), {temp / "gone", {}, ""});
  EXPECT_FALSE(missing.started);
  EXPECT_FALSE(FileExists(temp / "ran.txt"));
}

TEST(ChildProcess, StreamsExitAndSignalAreTheChildsOwn) {
  test::TempFolder temp;
  test::WriteText(temp / "in.txt", "from a file\n");
  ChildOptions options;
  options.stdinPath = temp / "in.txt";
  options.stdoutPath = temp / "out.txt";
  options.stderrPath = temp / "err.txt";
  options.environment = ChildEnvironment("", {"GREETING=hello"});
  pid_t pid = SpawnChild({"sh", "-c", "cat; echo $GREETING; echo oops >&2; exit 4"}, options);
  ASSERT_GT(pid, 0);
  ChildExit exit = WaitForChild(pid);
  EXPECT_EQ(exit.exitCode, 4);
  EXPECT_EQ(exit.Status(), 4);
  EXPECT_EQ(test::ReadText(temp / "out.txt"), "from a file\nhello\n");
  EXPECT_EQ(test::ReadText(temp / "err.txt"), "oops\n");
  EXPECT_EQ(std::getenv("GREETING"), nullptr);

  pid = SpawnChild({"sh", "-c", "kill -TERM $$"}, {});
  exit = WaitForChild(pid);
  EXPECT_EQ(exit.signal, SIGTERM);
  EXPECT_EQ(exit.Status(), 128 + SIGTERM);
  int error = 0;
  EXPECT_EQ(SpawnChild({"no-such-program-anywhere"}, {}, &error), -1);
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(WaitForChild(-1).Status(), -1);
}

}  // namespace
}  // namespace vantrel
