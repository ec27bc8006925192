// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/video_ts_fixture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "support/temp_folder.h"

namespace vantrel::test {
namespace {

// The clip also plays from the VMGM domain, so dvdauthor writes VIDEO_TS.VOB: the six-file
// check wants it, and there are still no menus with buttons.
constexpr const char* kDvdXml =
    "<dvdauthor><vmgm><menus><pgc><vob file=\"clip.mpg\"/><post>jump title 1;</post></pgc>"
    "</menus></vmgm><titleset><titles><pgc><vob file=\"clip.mpg\"/></pgc></titles></titleset>"
    "</dvdauthor>";

}  // namespace

int RunCapture(const std::string& commandLine, std::string& out) {
  out.clear();
  FILE* pipe = popen(commandLine.c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string VideoTsFixture() {
  const std::string root = std::string(VANTREL_TEST_HELPER_DIR) + "/video_ts_fixture";
  const std::string videoTs = root + "/dvd/VIDEO_TS";
  MakeFolder(root);
  // Tests run in parallel: one builds, the others wait for it.
  int lock = open((root + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  flock(lock, LOCK_EX);
  if (!FileExists(videoTs + "/VTS_01_1.VOB")) {
    DeleteFolderTree(root);
    MakeFolder(root);
    WriteText(root + "/dvd.xml", kDvdXml);
    std::string out;
    std::string cd = "cd " + ShellQuote(root) + " && ";
    int rc = RunCapture(cd +
                            "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
                            "testsrc=size=720x576:rate=25 -f lavfi -i sine=sample_rate=48000 "
                            "-t 2 -target pal-dvd clip.mpg 2>&1",
                        out);
    EXPECT_EQ(rc, 0) << "ffmpeg must be installed: " << out;
    rc = RunCapture(cd + "VIDEO_FORMAT=PAL dvdauthor -o dvd.part -x dvd.xml 2>&1 && mv dvd.part dvd",
                    out);
    EXPECT_EQ(rc, 0) << "dvdauthor must be installed: " << out;
  }
  flock(lock, LOCK_UN);
  close(lock);
  EXPECT_TRUE(FileExists(videoTs + "/VIDEO_TS.VOB"));
  return videoTs;
}

}  // namespace vantrel::test
