// ShellCommand with real child processes.
#include "authoring/shell_command.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

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

}  // namespace
}  // namespace vantrel
