// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author devices, burn and erase on image-file recorders, read back with
// independent tools (lsdvd, HandBrakeCLI, isoinfo, blkid, sha256sum).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string Author() { return ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author"); }

// A copy of the fixture in a folder whose name has a blank, a quote, "$" and Chinese.
std::string CopyFixture(const test::TempFolder& temp, const char* skip = nullptr) {
  std::string folder = temp / "我的 DVD 'x' $HOME";
  fs::create_directories(folder + "/VIDEO_TS");
  for (const auto& entry : fs::directory_iterator(test::VideoTsFixture()))
    if (!skip || entry.path().filename() != skip)
      fs::copy_file(entry.path(), folder + "/VIDEO_TS/" + entry.path().filename().string());
  return folder;
}

int Shell(const std::string& line, std::string& out) { return test::RunCapture(line + " 2>&1", out); }

TEST(BurnCommand, WritesAnImageThatIndependentReadersTakeForTheDisc) {
  test::TempFolder temp;
  std::string source = CopyFixture(temp);
  std::string work = temp / "work";
  std::string image = work + "/vantrel.iso";
  std::string out;
  std::string sourceBefore;
  test::RunCapture("cd " + ShellQuote(source) + " && ls -l --time-style=full-iso VIDEO_TS && sha256sum VIDEO_TS/*", sourceBefore);

  ASSERT_EQ(Shell(Author() + " devices --work " + ShellQuote(work), out), 0) << out;
  EXPECT_NE(out.find(": 映像文件 ("), std::string::npos) << out;
  EXPECT_NE(out.find("DVD+RW, blank, 4482.63 MB"), std::string::npos) << out;

  ASSERT_EQ(Shell(Author() + " burn " + ShellQuote(source) + " --yes --work " + ShellQuote(work), out), 0)
      << out;
  EXPECT_NE(out.find("添加文件..."), std::string::npos) << out;
  EXPECT_NE(out.find("写入光盘..."), std::string::npos) << out;
  EXPECT_NE(out.find("写入光盘成功完成！"), std::string::npos) << out;
  size_t at = out.find("sha256 ");
  ASSERT_NE(at, std::string::npos) << out;
  std::string sent = out.substr(at + 7, 64), written;
  test::RunCapture("sha256sum " + ShellQuote(image), written);
  EXPECT_EQ(written.substr(0, 64), sent);  // byte for byte what genisoimage produced

  ASSERT_EQ(test::RunCapture("lsdvd " + ShellQuote(image) + " 2>/dev/null", out), 0) << out;
  EXPECT_NE(out.find("Title: 01, Length: 00:00:02"), std::string::npos) << out;
  EXPECT_EQ(out.find("Title: 02"), std::string::npos) << out;
  ASSERT_EQ(Shell("HandBrakeCLI --scan -i " + ShellQuote(image), out), 0) << out;
  EXPECT_NE(out.find("DVD has 1 title(s)"), std::string::npos) << out;
  EXPECT_NE(out.find("duration is 00:00:02"), std::string::npos) << out;
  ASSERT_EQ(Shell("isoinfo -d -i " + ShellQuote(image), out), 0) << out;
  EXPECT_NE(out.find("Volume id: NEW DISC"), std::string::npos) << out;
  ASSERT_EQ(Shell("blkid -p " + ShellQuote(image), out), 0) << out;
  EXPECT_NE(out.find("LABEL=\"NEW DISC\""), std::string::npos) << out;
  EXPECT_NE(out.find("TYPE=\"udf\""), std::string::npos) << out;

  ASSERT_EQ(Shell(Author() + " devices --work " + ShellQuote(work), out), 0) << out;
  EXPECT_NE(out.find("DVD+RW, written, 4482.63 MB"), std::string::npos) << out;
  std::string sourceAfter;
  test::RunCapture("cd " + ShellQuote(source) + " && ls -l --time-style=full-iso VIDEO_TS && sha256sum VIDEO_TS/*", sourceAfter);
  EXPECT_EQ(sourceAfter, sourceBefore);  // the user's files are never modified

  ASSERT_EQ(Shell(Author() + " erase --yes --work " + ShellQuote(work), out), 0) << out;
  EXPECT_NE(out.find("擦除光盘成功完成！"), std::string::npos) << out;
  EXPECT_EQ(FileSize(image), 0u);
  ASSERT_EQ(Shell(Author() + " erase --yes --work " + ShellQuote(work), out), 0) << out;
  EXPECT_NE(out.find("光盘空白。"), std::string::npos) << out;
}

TEST(BurnCommand, RefusesAFolderWithoutTheSixFilesAndAnswersNoToTheErase) {
  test::TempFolder temp;
  std::string source = CopyFixture(temp, "VIDEO_TS.BUP");
  std::string work = temp / "work";
  std::string out;
  EXPECT_EQ(Shell(Author() + " burn " + ShellQuote(source) + " --yes --work " + ShellQuote(work), out), 1);
  EXPECT_NE(out.find("没有选定授权的 DVD 映象文件夹， 请查阅帮助文件了解什么是授权的 DVD 映象。"),
            std::string::npos)
      << out;
  EXPECT_FALSE(FileExists(work + "/vantrel.iso"));

  MakeFolder(work);
  test::WriteText(work + "/vantrel.iso", "an old image");
  EXPECT_EQ(Shell(Author() + " erase --no --work " + ShellQuote(work), out), 1) << out;
  EXPECT_NE(out.find("您想要擦除光盘吗？"), std::string::npos) << out;
  EXPECT_EQ(test::ReadText(work + "/vantrel.iso"), "an old image");
}

TEST(BurnCommand, AWrittenImageIsOverwrittenOnlyWhenTheUserAgrees) {
  test::TempFolder temp;
  std::string source = CopyFixture(temp);
  std::string work = temp / "work";
  MakeFolder(work);
  const std::string image = work + "/vantrel.iso";
  test::WriteText(image, "the disc written last week");
  std::string out;
  const std::string burn = Author() + " burn " + ShellQuote(source) + " --work " + ShellQuote(work);
  EXPECT_EQ(Shell(burn + " --no", out), 1) << out;
  EXPECT_NE(out.find("您想要擦除光盘吗？"), std::string::npos) << out;
  EXPECT_NE(out.find("overwriting it was declined"), std::string::npos) << out;
  EXPECT_EQ(out.find("写入光盘..."), std::string::npos) << out;
  EXPECT_EQ(test::ReadText(image), "the disc written last week");
  // Without a terminal to ask, the answer is No as well.
  EXPECT_EQ(Shell(burn + " </dev/null", out), 1) << out;
  EXPECT_EQ(test::ReadText(image), "the disc written last week");

  ASSERT_EQ(Shell(burn + " --yes", out), 0) << out;
  EXPECT_NE(out.find("写入光盘成功完成！"), std::string::npos) << out;
  ASSERT_EQ(test::RunCapture("lsdvd " + ShellQuote(image) + " 2>/dev/null", out), 0) << out;
  EXPECT_NE(out.find("Title: 01, Length: 00:00:02"), std::string::npos) << out;
}

TEST(BurnCommand, DevFullFailsWithTheSystemsReason) {
  test::TempFolder temp;
  std::string source = CopyFixture(temp);
  test::ScopedEnv drives("VANTREL_IMAGE_DRIVES", "/dev/full");
  std::string out;
  ASSERT_EQ(Shell(Author() + " devices --work " + ShellQuote(temp / "work"), out), 0) << out;
  size_t at = out.find(": 映像文件 (/dev/full)");
  ASSERT_NE(at, std::string::npos) << out;
  std::string letter = out.substr(at - 1, 1);
  EXPECT_EQ(Shell(Author() + " burn " + ShellQuote(source) + " --yes --device " + letter +
                    " --work " + ShellQuote(temp / "work"),
                out),
            1);
  EXPECT_NE(out.find("写入光盘出错: Writing the disc failed:"), std::string::npos) << out;
  EXPECT_NE(out.find("No space left on device"), std::string::npos) << out;
  EXPECT_NE(out.find("写入光盘出错！"), std::string::npos) << out;
}

TEST(BurnCommand, InterruptCancelsTheWriteAndExitsNonZero) {
  test::TempFolder temp;
  std::string source = CopyFixture(temp);
  // A named pipe as the image holds the write half-way until this test has interrupted it.
  std::string pipe = temp / "pipe.iso";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  test::ScopedEnv drives("VANTREL_IMAGE_DRIVES", pipe);
  std::string out;
  ASSERT_EQ(Shell(Author() + " devices --work " + ShellQuote(temp / "work"), out), 0) << out;
  size_t at = out.find("pipe.iso)");
  at = out.rfind(": 映像文件 (", at);
  ASSERT_NE(at, std::string::npos) << out;
  std::string log = temp / "burn.log";
  std::string line = "exec " + Author() + " burn " + ShellQuote(source) + " --yes --device " +
                     out.substr(at - 1, 1) + " --work " +
                     ShellQuote(temp / "work") + " >" + ShellQuote(log) + " 2>&1";
  // In a process group of its own, so the interrupt reaches the whole group as Ctrl+C does.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  pid_t pid = -1;
  const char* argv[] = {"/bin/sh", "-c", line.c_str(), nullptr};
  ASSERT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, &attr, const_cast<char**>(argv), environ), 0);
  posix_spawnattr_destroy(&attr);
  int fd = open(pipe.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  std::vector<char> buffer(65536);
  EXPECT_GT(read(fd, buffer.data(), buffer.size()), 0);
  kill(-pid, SIGINT);
  // The pipe is drained only once the program has taken the interrupt, so the write cannot
  // finish first however busy the machine is.
  for (int waited = 0; waited < 400 && test::ReadText(log).find("写入光盘被取消！") == std::string::npos; ++waited)
    usleep(50 * 1000);
  while (read(fd, buffer.data(), buffer.size()) > 0) {
  }
  close(fd);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  out = test::ReadText(log);
  ASSERT_TRUE(WIFEXITED(status)) << out;
  EXPECT_NE(WEXITSTATUS(status), 0) << out;
  EXPECT_NE(out.find("写入光盘被取消！"), std::string::npos) << out;
  EXPECT_NE(out.find("The write was cancelled"), std::string::npos) << out;
  EXPECT_NE(out.find("vantrel-author: cancelled"), std::string::npos) << out;
}

}  // namespace
}  // namespace vantrel
