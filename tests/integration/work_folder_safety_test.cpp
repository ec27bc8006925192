// SPDX-License-Identifier: GPL-3.0-or-later
// What an authoring run may and may not do in its work folder, with the real tools and
// real signals: the user's files there survive, titles never share a repair, two runs never
// share a folder, no work is thrown away, and an interrupted or killed run leaves nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "authoring/authoring_driver.h"
#include "authoring/command_templates.h"
#include "authoring/default_steps.h"
#include "authoring/work_folder_guard.h"
#include "base/paths.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "support/child_process.h"
#include "support/dvd_reader.h"
#include "support/video_ts_fixture.h"
#include "support/media_maker.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> PartFiles(const std::string& folder) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
    if (entry.path().filename().string().find(".part-") != std::string::npos) found.push_back(entry.path());
  return found;
}

class WorkFolderSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PrepareAppFolder(temp_ / "app");
    settings_.temppath = work_;
    settings_.createmenu = false;
    settings_.resolution = 0;
  }
  void AddTitle(const std::string& path) { test::AddTitleFile(titles_, path); }
  bool Run(AuthoringSteps steps = DefaultAuthoringSteps(test::Installed(), test::Installed())) {
    AuthoringDriver driver(settings_, model_, titles_, std::move(steps), test::Installed(), test::Installed());
    folders_ = RunFolders::For(settings_.temppath, temp_ / "app");
    bool ok = driver.StartRun();
    failure_ = driver.FailureReason();
    return ok;
  }
  std::string Cli(const std::string& arguments) const {
    return "env VANTREL_APPDIR=" + ShellQuote(temp_ / "app") + " " +
           ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") + " " + arguments;
  }

  test::TempFolder temp_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", temp_ / "app"};
  std::string work_ = temp_ / "work";
  AppSettings settings_{temp_ / "Settings.ini"};
  TitleList titles_;
  MenuModel model_{temp_ / "app/layout.ini"};
  RunFolders folders_;
  std::string failure_;
};

TEST_F(WorkFolderSafetyTest, TheUsersFilesInDvdAndTempAreKeptUnlessTheUserAgrees) {
  const std::string a = temp_ / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 1, false));
  AddTitle(a);
  MakeFolder(work_ + "/DVD/holiday");
  test::WriteText(work_ + "/DVD/holiday/photo.jpg", "the user's photo");
  MakeFolder(work_ + "/TEMP");
  test::WriteText(work_ + "/TEMP/notes.txt", "the user's notes");
  {
    test::RecordingStatus answersNo(false);
    EXPECT_FALSE(Run());
    ASSERT_EQ(answersNo.questions.size(), 1u);
    EXPECT_NE(answersNo.questions[0].find(work_), std::string::npos);
    EXPECT_EQ(failure_, "运行已停止，工作文件夹中的文件没有改动: " + work_);
  }
  EXPECT_EQ(test::ReadText(work_ + "/DVD/holiday/photo.jpg"), "the user's photo");
  EXPECT_EQ(test::ReadText(work_ + "/TEMP/notes.txt"), "the user's notes");
  EXPECT_FALSE(FileExists(work_ + "/" + kWorkMarkerName));

  // The command line's --no (and no terminal) give the same answer.
  std::string out;
  EXPECT_EQ(test::RunCapture(Cli("author --no-menu --no --work " + ShellQuote(work_) + " " + ShellQuote(a)) + " 2>&1",
                             out),
            1);
  EXPECT_NE(out.find("运行已停止，工作文件夹中的文件没有改动"), std::string::npos) << out;
  EXPECT_EQ(test::ReadText(work_ + "/DVD/holiday/photo.jpg"), "the user's photo");

  {
    test::RecordingStatus answersYes(true);
    ASSERT_TRUE(Run()) << failure_;
  }
  EXPECT_FALSE(FileExists(work_ + "/DVD/holiday/photo.jpg"));
  EXPECT_TRUE(FileExists(work_ + "/" + kWorkMarkerName));
  // From now on the folder is the program's: no question.
  test::RecordingStatus silent(false);
  ASSERT_TRUE(Run()) << failure_;
  EXPECT_TRUE(silent.questions.empty());
  // A folder of a run that left no marker, holding only what runs write: no question either.
  std::remove((work_ + "/" + kWorkMarkerName).c_str());
  ASSERT_TRUE(Run()) << failure_;
  EXPECT_TRUE(silent.questions.empty());
  EXPECT_TRUE(FileExists(work_ + "/" + kWorkMarkerName));
  // But a disc of the user's own in a DVD folder, without a run's script beside it, is asked about.
  std::remove((work_ + "/" + kWorkMarkerName).c_str());
  DeleteFolderTree(work_ + "/TEMP");
  EXPECT_FALSE(Run());
  EXPECT_EQ(silent.questions.size(), 1u);
  EXPECT_TRUE(FileExists(work_ + "/DVD/VIDEO_TS/VIDEO_TS.IFO"));
}

TEST_F(WorkFolderSafetyTest, AFailingRunLeavesTheLastDiscAsItWas) {
  const std::string a = temp_ / "a.mpg", b = temp_ / "b.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 2, false));
  ASSERT_TRUE(test::MakeDvdClip(b, 1, false, "smptebars"));
  AddTitle(a);
  test::RecordingStatus status;
  ASSERT_TRUE(Run()) << failure_;
  const std::string ifo = test::ReadText(work_ + "/DVD/VIDEO_TS/VTS_01_0.IFO");
  ASSERT_FALSE(ifo.empty());

  // The next run fails in the authoring tool and in the fallback (no tools at all).
  AddTitle(b);
  {
    MakeFolder(temp_ / "empty-bin");
    test::ScopedEnv path("PATH", temp_ / "empty-bin");
    EXPECT_FALSE(Run());
  }
  EXPECT_EQ(test::ReadText(work_ + "/DVD/VIDEO_TS/VTS_01_0.IFO"), ifo);
  test::DvdFacts dvd = test::ReadDvd(work_ + "/DVD");
  ASSERT_EQ(dvd.titles.size(), 1u);
  EXPECT_NEAR(dvd.titles[0].seconds, 2.0, 0.2);
  EXPECT_FALSE(FolderExists(work_ + "/DVD.previous"));

  // A run that succeeds replaces it.
  ASSERT_TRUE(Run()) << failure_;
  EXPECT_EQ(test::ReadDvd(work_ + "/DVD").titles.size(), 2u);
  EXPECT_FALSE(FolderExists(work_ + "/DVD.previous"));
}

TEST_F(WorkFolderSafetyTest, TitlesWithTheSameFileNameStayDifferentTitles) {
  MakeFolder(temp_ / "a");
  MakeFolder(temp_ / "b");
  const std::string one = temp_ / "a/movie.avi", two = temp_ / "b/movie.avi", three = temp_ / "a/movie.mpg";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 1 " + ShellQuote(one)));
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i smptebars=size=320x240:rate=25 -t 2 " + ShellQuote(two)));
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 3 -c:v mpeg1video " + ShellQuote(three)));
  AddTitle(one);
  AddTitle(two);
  AddTitle(three);
  test::RecordingStatus status;
  ASSERT_TRUE(Run()) << failure_;
  EXPECT_TRUE(FileExists(work_ + "/(TaliroFixedDVD)movie.mpg"));
  EXPECT_TRUE(FileExists(work_ + "/(TaliroFixedDVD)movie (2).mpg"));
  EXPECT_TRUE(FileExists(work_ + "/(TaliroFixedDVD)movie (3).mpg"));
  test::DvdFacts dvd = test::ReadDvd(work_ + "/DVD");
  ASSERT_EQ(dvd.titles.size(), 3u);
  EXPECT_NEAR(dvd.titles[0].seconds, 1.0, 0.2);
  EXPECT_NEAR(dvd.titles[1].seconds, 2.0, 0.2);
  EXPECT_NEAR(dvd.titles[2].seconds, 3.0, 0.2);
}

TEST_F(WorkFolderSafetyTest, ALongFileNameIsRepairedUnderAShortenedName) {
  std::string stem;
  while (stem.size() < 240) stem += "长";
  const std::string clip = temp_ / (stem + ".avi");
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 1 " + ShellQuote(clip)));
  AddTitle(clip);
  test::RecordingStatus status;
  ASSERT_TRUE(Run()) << failure_;
  EXPECT_EQ(test::ReadDvd(work_ + "/DVD").titles.size(), 1u);
}

TEST_F(WorkFolderSafetyTest, ASecondRunIntoTheSameFolderIsRefusedWhileTheFirstHoldsIt) {
  const std::string a = temp_ / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 1, false));
  AddTitle(a);
  test::RecordingStatus status;
  {
    WorkFolderLock first;
    std::string why;
    ASSERT_TRUE(first.Acquire(work_, why)) << why;
    EXPECT_FALSE(Run());
    EXPECT_EQ(failure_, "另一个运行正在使用工作文件夹: " + work_);
    EXPECT_FALSE(FolderExists(work_ + "/DVD"));
  }
  // A holder that was killed holds nothing: the lock dies with its process. (The holder
  // keeps the lock to itself, -o, so that nothing it started outlives it with the lock,
  // and says when it holds it.)
  test::BackgroundRun holder("flock -o " + ShellQuote(work_ + "/.vantrel-lock") + " sh -c 'echo locked; exec sleep 60'",
                             temp_ / "flock.log");
  ASSERT_TRUE(holder.WaitForLog("locked", 60)) << holder.Log();
  EXPECT_FALSE(Run());
  holder.Signal(SIGKILL);
  holder.Wait();
  ASSERT_TRUE(Run()) << failure_;
}

TEST_F(WorkFolderSafetyTest, ABadTitleStopsTheRunBeforeAnyEncodingAndRepairsAreReused) {
  const std::string good = temp_ / "good.avi", bad = temp_ / "bad.avi";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 1 " + ShellQuote(good)));
  // An AVI whose pictures cannot be decoded: the header of a real one, then noise.
  std::string bytes = test::ReadText(good);
  for (size_t i = 4096; i < bytes.size(); ++i) bytes[i] = char(i * 7919 % 251);
  test::WriteText(bad, bytes);
  AddTitle(good);
  AddTitle(bad);
  test::RecordingStatus status;
  EXPECT_FALSE(Run());
  EXPECT_EQ(failure_.rfind("无法使用标题 " + bad + ": ", 0), 0u) << failure_;
  EXPECT_FALSE(FileExists(work_ + "/(TaliroFixedDVD)good.mpg")) << "the good title was encoded for nothing";

  // A name with a line feed cannot reach the tools: said before anything starts.
  const std::string lined = temp_ / "two\nlines.mpg";
  ASSERT_TRUE(test::MakeDvdClip(lined, 1, false));
  titles_ = TitleList();
  AddTitle(lined);
  EXPECT_FALSE(Run());
  EXPECT_EQ(failure_, "无法使用标题 " + lined + ": 文件名中有换行符，DVD 工具无法使用它，请重命名该文件");

  // Without the bad title: the good one is repaired once, then used again.
  titles_ = TitleList();
  AddTitle(good);
  ASSERT_TRUE(Run()) << failure_;
  const std::string repair = work_ + "/(TaliroFixedDVD)good.mpg";
  const auto made = fs::last_write_time(repair);
  ASSERT_TRUE(Run()) << failure_;
  EXPECT_TRUE(status.Logged("沿用上次修复的文件 (TaliroFixedDVD)good.mpg"));
  EXPECT_EQ(fs::last_write_time(repair), made);
  EXPECT_EQ(test::ReadDvd(work_ + "/DVD").titles.size(), 1u);
  // Another standard shapes another repair.
  settings_.resolution = 1;
  ASSERT_TRUE(Run()) << failure_;
  EXPECT_NE(fs::last_write_time(repair), made);
}

TEST_F(WorkFolderSafetyTest, AnInterruptStopsTheEncodeAndLeavesNothingBehind) {
  const std::string clip = temp_ / "long.avi";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine -t 60 -c:v mpeg4 -q:v 3 " +
                           ShellQuote(clip)));
  // Debris of a killed run: a half repair and the tool folder of a process that is gone.
  MakeFolder(work_);
  test::WriteText(work_ + "/" + kWorkMarkerName, "");
  test::WriteText(work_ + "/(TaliroFixedDVD)old.mpg.part-Ab12Cd", "half");
  MakeFolder(temp_ / "app/TEMP/run-999999-1");
  test::WriteText(temp_ / "app/TEMP/run-999999-1/ddas", "tool");

  for (int signal : {SIGINT, SIGTERM}) {
    test::BackgroundRun run(Cli("author --no-menu --pal --work " + ShellQuote(work_) + " " + ShellQuote(clip)),
                            temp_ / "author.log");
    ASSERT_TRUE(run.WaitForLog("fixing long.avi", 120)) << run.Log();
    // Half-way through the encode: its unfinished output is there.
    for (int waited = 0; waited < 600 && PartFiles(work_).empty(); ++waited) usleep(50 * 1000);
    ASSERT_FALSE(PartFiles(work_).empty()) << run.Log();
    EXPECT_FALSE(FileExists(work_ + "/(TaliroFixedDVD)old.mpg.part-Ab12Cd"));
    EXPECT_FALSE(FolderExists(temp_ / "app/TEMP/run-999999-1"));
    usleep(500 * 1000);
    run.Signal(signal);
    EXPECT_EQ(run.Wait(), 128 + signal) << run.Log();
    EXPECT_NE(run.Log().find("vantrel-author: cancelled"), std::string::npos) << run.Log();
    EXPECT_NE(run.Log().find("运行已取消。"), std::string::npos) << run.Log();
    EXPECT_TRUE(PartFiles(work_).empty());
    EXPECT_FALSE(FileExists(work_ + "/(TaliroFixedDVD)long.mpg"));
    std::error_code ec;
    EXPECT_TRUE(fs::is_empty(temp_ / "app/TEMP", ec)) << "a tool folder was left";
  }

  // The single conversion stops the same way.
  const std::string output = temp_ / "out/converted.mpg";
  MakeFolder(temp_ / "out");
  test::BackgroundRun convert(Cli("convert " + ShellQuote(clip) + " " + ShellQuote(output)), temp_ / "convert.log");
  for (int waited = 0; waited < 1200 && PartFiles(temp_ / "out").empty(); ++waited) usleep(50 * 1000);
  ASSERT_FALSE(PartFiles(temp_ / "out").empty()) << convert.Log();
  convert.Signal(SIGTERM);
  EXPECT_EQ(convert.Wait(), 143) << convert.Log();
  EXPECT_NE(convert.Log().find("vantrel-author: cancelled"), std::string::npos) << convert.Log();
  EXPECT_TRUE(PartFiles(temp_ / "out").empty());
  EXPECT_FALSE(FileExists(output));
}

// Processes whose command line names `text`.
std::vector<std::string> ProcessesNaming(const std::string& text) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc", ec)) {
    std::string line = test::ReadText(entry.path() / "cmdline");
    std::replace(line.begin(), line.end(), '\0', ' ');
    if (line.find(text) != std::string::npos) found.push_back(entry.path().filename().string() + ": " + line);
  }
  return found;
}

TEST_F(WorkFolderSafetyTest, AnInterruptReachesTheFallbackBuilderOnItsOwnThread) {
  // The head of a DVD clip passes the run's checks but the authoring tool cannot make a
  // title of it, so the image builder takes over and encodes every title on its thread.
  // A head of a dozen pictures keeps each of those encodes, and so the builder's
  // unfinished output, there long enough to be seen: a head of one picture was encoded
  // between two looks.
  const std::string whole = temp_ / "whole.mpg", cut = temp_ / "cut.mpg";
  ASSERT_TRUE(test::MakeDvdClip(whole, 4, false));
  test::WriteText(cut, test::ReadText(whole).substr(0, 1000000));
  std::string names;
  for (int i = 0; i < 30; ++i) names += " " + ShellQuote(cut);
  test::BackgroundRun run(Cli("author --no-menu --pal --yes --work " + ShellQuote(work_) + names),
                          temp_ / "author.log");
  // The builder is encoding when its unfinished output is there. It is looked at once per
  // turn: a second look may come after that title's encode has ended.
  const std::string builder = work_ + "/FoxImage";
  bool seen = false;
  for (int waited = 0; waited < 2400 && !(seen = !PartFiles(builder).empty()); ++waited) usleep(25 * 1000);
  ASSERT_TRUE(seen) << run.Log();
  run.Signal(SIGINT);
  EXPECT_EQ(run.Wait(60), 130) << run.Log();
  EXPECT_NE(run.Log().find("运行已取消。"), std::string::npos) << run.Log();
  EXPECT_EQ(run.Log().find("转换完成"), std::string::npos) << run.Log();
  // Nothing of the builder's goes on: no encode, no spumux, no dvdauthor; nothing half-made.
  const std::vector<std::string> running = ProcessesNaming(work_);
  EXPECT_TRUE(running.empty()) << running.front();
  EXPECT_TRUE(PartFiles(work_).empty());
  EXPECT_FALSE(FolderExists(builder));
  EXPECT_FALSE(FolderExists(work_ + "/DVD/VIDEO_TS"));
}

TEST_F(WorkFolderSafetyTest, AWorkFolderThatFillsUpSaysSoAndKeepsTheToolsLog) {
  const std::string small = temp_ / "small disk";
  MakeFolder(small);
  test::SmallFileSystem disk(small, "3m");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a small file system is not permitted here";
  const std::string a = temp_ / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 8, false));
  ASSERT_GT(FileSize(a), 4u << 20);
  AddTitle(a);
  settings_.temppath = small + "/work";
  test::RecordingStatus status;
  EXPECT_FALSE(Run());
  // The image builder's failure carries its reason, and the log it points to is still there.
  ASSERT_FALSE(status.messages.empty());
  EXPECT_EQ(status.messages.back(), "建立 DVD 失败。");
  bool reasonLogged = false;
  for (const auto& line : status.lines)
    reasonLogged |= line.kind == kStatusRed && line.text.find("No space left on device") != std::string::npos;
  EXPECT_TRUE(reasonLogged);
  const std::string log = small + "/work/tools.log";
  ASSERT_TRUE(FileExists(log));
  EXPECT_NE(test::ReadText(log).find("No space left on device"), std::string::npos) << test::ReadText(log);
}

}  // namespace
}  // namespace vantrel
