// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author probe and thumbnail, run as a user runs them, on awkward file names.
#include <gtest/gtest.h>

#include <cstdio>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "media/bitmap_file.h"
#include "support/clips.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

struct CommandRun {
  int status;
  std::string out;
};

CommandRun Author(const std::string& arguments) {
  std::string line = ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") + " " +
                     arguments + " 2>&1";
  CommandRun run{-1, {}};
  FILE* pipe = popen(line.c_str(), "r");
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(MediaCommandsTest, ProbePrintsTheTitleListFactsAndFailsOnUnreadableFiles) {
  test::TempFolder folder;
  test::ScopedEnv appDir("VANTREL_APPDIR", folder.Path());
  std::string clip = folder / "my \"holiday\" $HOME 假期.mpg";
  test::MakePatternClip(clip, "-c:v mpeg2video -c:a mp2 -f mpeg", "720x576", "25", 2);
  std::string before = test::ReadText(clip);
  CommandRun ok = Author("probe " + ShellQuote(clip));
  EXPECT_EQ(ok.status, 0) << ok.out;
  EXPECT_EQ(ok.out, clip + "\n  duration      00:00:02 (2.0" + ok.out.substr(ok.out.find("(2.0") + 4, 2) +
                        " s)\n  frame rate    PAL(25.00fps)\n  resolution    720x576\n  video stream  1\n");
  EXPECT_EQ(test::ReadText(clip), before);

  test::WriteText(folder / "empty.mpg", "");
  CommandRun bad = Author("probe " + ShellQuote(folder / "empty.mpg") + " " + ShellQuote(clip));
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("vantrel-author: cannot read " + folder / "empty.mpg" +
                         ": not a video file that can be read (0x80040240)"),
            std::string::npos) << bad.out;
  // A missing file: the system's reason, not a negative number.
  CommandRun missing = Author("probe " + ShellQuote(folder / "gone.avi"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("video stream  unknown: No such file or directory"), std::string::npos) << missing.out;
  EXPECT_NE(missing.out.find("cannot read " + folder / "gone.avi" + ": No such file or directory"), std::string::npos);
  EXPECT_EQ(missing.out.find("-2147024894"), std::string::npos) << missing.out;
  EXPECT_NE(bad.out.find("resolution    720x576"), std::string::npos);  // the good file still probed
  EXPECT_EQ(Author("probe").status, 2);
}

TEST(MediaCommandsTest, ThumbnailWritesAnEightyBySixtyBitmapOrSaysWhyNot) {
  test::TempFolder folder;
  test::ScopedEnv appDir("VANTREL_APPDIR", folder.Path());
  std::string clip = folder / "彩色 'clip'.avi";
  test::MakeColourClip(clip, "-c:v mpeg4 -q:v 2 -c:a libmp3lame");
  std::string out = folder / "thumb $1.bmp";
  CommandRun ok = Author("thumbnail " + ShellQuote(clip) + " --time 2.5 --out " + ShellQuote(out));
  EXPECT_EQ(ok.status, 0) << ok.out;
  DibImage image;
  ASSERT_TRUE(image.ReadFile(out)) << image.LastError();
  EXPECT_EQ(image.Width(), 80);
  EXPECT_EQ(image.Height(), 60);
  EXPECT_EQ(image.BitsPerPixel(), 24);
  RgbImage rgb = image.ToRgbImage();
  EXPECT_GT(rgb.Row(30)[40 * 3 + 2], 180);  // the blue third second

  std::string audio = folder / "song.mp3";
  test::MakeAudioOnlyClip(audio);
  CommandRun none = Author("thumbnail " + ShellQuote(audio) + " --out " + ShellQuote(folder / "x.bmp"));
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.out.find("no frame of " + audio + " could be grabbed"), std::string::npos) << none.out;
  EXPECT_FALSE(FileExists(folder / "x.bmp"));
  EXPECT_EQ(Author("thumbnail " + ShellQuote(clip) + " --time -1 --out x.bmp").status, 2);
  EXPECT_EQ(Author("thumbnail " + ShellQuote(clip)).status, 2);
  EXPECT_EQ(Author("thumbnail " + ShellQuote(folder / "nothing.avi") + " --out x.bmp").status, 1);
  // A folder that is not there: said at once, not a success that wrote nothing.
  const std::string nowhere = folder / "no such folder/x.bmp";
  CommandRun lost = Author("thumbnail " + ShellQuote(clip) + " --out " + ShellQuote(nowhere));
  EXPECT_EQ(lost.status, 1) << lost.out;
  EXPECT_NE(lost.out.find("cannot write " + nowhere + ": No such file or directory"), std::string::npos) << lost.out;
}

}  // namespace
}  // namespace vantrel
