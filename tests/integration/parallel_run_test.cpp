// SPDX-License-Identifier: GPL-3.0-or-later
// The authoring run with its titles made at once: the same disc as a run on one core (read
// back with libdvdread and libavformat), the event log title by title; a cancel and a
// failing title in the middle of the repairs stop every task and leave nothing half-made.
#include <gtest/gtest.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "authoring/authoring_driver.h"
#include "authoring/command_templates.h"
#include "authoring/default_steps.h"
#include "base/paths.h"
#include "jobs/authoring_job.h"
#include "menu/menu_model.h"
#include "project/title_list.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"
#include "support/title_playback.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// Unfinished encoder outputs in `folder`.
int PartFiles(const std::string& folder) {
  int n = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    n += e.path().filename().string().find(".part-") != std::string::npos;
  return n;
}

// Processes whose parent is this test.
std::vector<std::string> Children() {
  std::vector<std::string> found;
  for (const auto& e : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(e.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid ...: the name may hold spaces, the last ")" ends it.
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    std::string state;
    long ppid = 0;
    rest >> state >> ppid;
    if (ppid == long(getpid())) found.push_back(line.substr(0, close + 1));
  }
  return found;
}

// Waits until `done` holds, at most `limit`.
template <typename Condition>
bool WaitFor(Condition done, std::chrono::seconds limit = 120s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

std::vector<std::string> LogLines(const test::RecordingStatus& status) {
  std::vector<std::string> lines;
  for (const auto& line : status.lines)
    if (line.mode != kStatusProgress) lines.push_back(line.text);
  // The menus' time is the one line that differs from run to run.
  for (std::string& line : lines)
    if (line.rfind("菜单完成:", 0) == 0) line = "菜单完成";
  return lines;
}

class ParallelRun : public ::testing::Test {
 protected:
  void SetUp() override { test::PrepareAppFolder(temp_ / "app"); }

  AuthoringOptions Options(const std::string& work, int cores) {
    AuthoringOptions options;
    options.settings = AppSettings(temp_ / "Settings.ini");
    options.settings.temppath = work;
    options.settings.resolution = 0;
    options.settings.createmenu = true;
    options.settings.layout = 0;
    options.cores = cores;
    return options;
  }
  // Pictures of `seconds` a user's camera or editor would have written.
  std::string Clip(const std::string& name, const std::string& size, double seconds, const std::string& codecs) {
    const std::string path = temp_ / name;
    EXPECT_TRUE(test::Ffmpeg("-f lavfi -i testsrc2=size=" + size + ":rate=25 -f lavfi -i sine=frequency=500 -t " +
                             std::to_string(seconds) + " " + codecs + " " + ShellQuote(path)));
    return path;
  }

  test::TempFolder temp_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", temp_ / "app"};
};

TEST_F(ParallelRun, TitlesMadeAtOnceGiveTheDiscOfOneCore) {
  // The kinds of files users bring, each of which needs repair; one of them wide.
  TitleList titles;
  test::AddTitleFile(titles, Clip("mpeg4 ac3.avi", "320x240", 2, "-c:v mpeg4 -q:v 5 -c:a ac3"));
  test::AddTitleFile(titles, Clip("cinepak.avi", "160x120", 1.5, "-c:v cinepak -c:a pcm_s16le"));
  test::AddTitleFile(titles, Clip("msmpeg4.avi", "320x240", 2.5, "-c:v msmpeg4 -q:v 5 -c:a libmp3lame"));
  test::AddTitleFile(titles, Clip("wide.mpg", "720x405", 2, "-c:v mpeg2video -b:v 3M -c:a mp2 -f mpeg"));

  struct Made {
    std::vector<std::string> log;
    test::DvdFacts dvd;
    test::DiscPlayback played;
    test::LumaPicture menu;
    int mostPartFiles = 0;
  };
  auto author = [&](const std::string& work, int cores) {
    Made made;
    test::RecordingStatus status(false, false);
    const AuthoringOptions options = Options(work, cores);
    AuthoringJob job(ProjectOf(titles, options.settings), options, status);
    EXPECT_TRUE(job.Start());
    while (!job.Wait(5)) made.mostPartFiles = std::max(made.mostPartFiles, PartFiles(work));
    EXPECT_TRUE(job.Result().succeeded) << job.Result().reason << test::ReadText(job.ToolLogPath());
    made.log = LogLines(status);
    made.dvd = test::ReadDvd(work + "/DVD");
    MakeFolder(work + "/dumps");
    made.played = test::ReadDiscPlayback(work + "/DVD", work + "/dumps");
    made.menu = test::FirstPicture(work + "/DVD/VIDEO_TS/VIDEO_TS.VOB");
    return made;
  };
  const Made one = author(temp_ / "one", 1);
  const Made four = author(temp_ / "four", 4);
  EXPECT_EQ(one.mostPartFiles, 1);
  EXPECT_GE(four.mostPartFiles, 2) << "the titles were not made at once";

  ASSERT_TRUE(one.dvd.opened && four.dvd.opened);
  ASSERT_EQ(one.dvd.titles.size(), 4u);
  ASSERT_EQ(four.dvd.titles.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(four.dvd.titles[i].seconds, one.dvd.titles[i].seconds, 0.05) << "title " << i + 1;
    EXPECT_EQ(four.played.titles[i].aspectCode, one.played.titles[i].aspectCode) << "title " << i + 1;
    EXPECT_EQ(four.played.titles[i].audioIds, one.played.titles[i].audioIds) << "title " << i + 1;
    EXPECT_NEAR(four.played.titles[i].shownAspect, one.played.titles[i].shownAspect, 0.02) << "title " << i + 1;
  }
  EXPECT_NEAR(one.dvd.titles[1].seconds, 1.5, 0.2);
  EXPECT_EQ(four.played.setAspectCode, one.played.setAspectCode);
  EXPECT_EQ(four.played.setAudio, one.played.setAudio);
  EXPECT_EQ(test::PlaybackFaults(four.played), "");
  ASSERT_EQ(four.dvd.menus.size(), 1u);
  EXPECT_EQ(four.dvd.menus[0].buttons, one.dvd.menus[0].buttons);
  ASSERT_GT(one.menu.width, 0);
  EXPECT_EQ(four.menu.width, one.menu.width);
  EXPECT_EQ(four.menu.pixels, one.menu.pixels) << "the menus differ";

  // The user reads the same log, title after title, whatever ran at once.
  EXPECT_EQ(four.log, one.log);
  auto at = [&](const std::string& text) {
    return std::find(four.log.begin(), four.log.end(), text) - four.log.begin();
  };
  EXPECT_LT(at("生成菜单..."), at("修复 MPEG 文件..."));
  EXPECT_LT(at("fixing mpeg4 ac3.avi 到 DVD 兼容的 VOB"), at("fixing cinepak.avi 到 DVD 兼容的 VOB"));
  EXPECT_LT(at("fixing msmpeg4.avi 到 DVD 兼容的 VOB"), at("fixing wide.mpg 到 DVD 兼容的 VOB"));
  EXPECT_LT(at("fixing wide.mpg 到 DVD 兼容的 VOB"), std::ptrdiff_t(four.log.size()));
}

TEST_F(ParallelRun, ATitleAloneBesideTheMenusEncodesOnEveryCore) {
  // The menus hold a core when the title starts; they end long before it does, and the
  // title must not be left on one core for the rest of its length.
  TitleList titles;
  test::AddTitleFile(titles, Clip("alone.avi", "320x240", 2, "-c:v mpeg4 -q:v 5 -c:a libmp3lame"));
  AppSettings settings = Options(temp_ / "work", 2).settings;
  MenuModel model(temp_ / "app/layout.ini");
  test::RecordingStatus status(false, false);
  AuthoringSteps steps = DefaultAuthoringSteps(status, status);
  const auto convert = steps.convertToDvdMpeg;
  int threads = 0;
  steps.convertToDvdMpeg = [&](const std::string& source, std::string& output, TvStandard standard,
                               const DiscTarget& target, RunStatus& channel, int cores) {
    threads = cores;
    return convert(source, output, standard, target, channel, cores);
  };
  AuthoringDriver driver(settings, model, titles, steps, status, status);
  driver.SetCores(2);
  ASSERT_TRUE(driver.StartRun()) << driver.FailureReason();
  EXPECT_EQ(threads, 2);
  const test::DvdFacts dvd = test::ReadDvd(settings.temppath + "/DVD");
  ASSERT_TRUE(dvd.opened);
  ASSERT_EQ(dvd.titles.size(), 1u);
  EXPECT_NEAR(dvd.titles[0].seconds, 2, 0.2);
  ASSERT_EQ(dvd.menus.size(), 1u);
  EXPECT_EQ(dvd.menus[0].buttons, 1);
}

TEST_F(ParallelRun, ACancelDuringTheRepairsStopsThemAll) {
  TitleList titles;
  for (const char* name : {"a.avi", "b.avi", "c.avi"})
    test::AddTitleFile(titles, Clip(name, "320x240", 40, "-c:v mpeg4 -q:v 8 -c:a libmp3lame"));
  const std::string work = temp_ / "work";
  test::RecordingStatus status(false, false);
  const AuthoringOptions options = Options(work, 3);
  AuthoringJob job(ProjectOf(titles, options.settings), options, status);
  ASSERT_TRUE(job.Start());
  ASSERT_TRUE(WaitFor([&] { return PartFiles(work) >= 2 || job.Done(); }));
  ASSERT_FALSE(job.Done()) << job.Result().reason;
  const auto asked = std::chrono::steady_clock::now();
  job.Cancel();
  job.Wait(-1);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 10s);
  EXPECT_TRUE(job.Result().cancelled);
  EXPECT_EQ(PartFiles(work), 0);
  EXPECT_EQ(Children(), std::vector<std::string>{});
  EXPECT_FALSE(FileExists(work + "/DVD/VIDEO_TS/VIDEO_TS.IFO"));
  for (const char* made : {"a.mpg", "b.mpg", "c.mpg"})
    EXPECT_FALSE(FileExists(work + "/(TaliroFixedDVD)" + made)) << made;
  // One line says so; no title reports a failure of its own.
  int red = 0;
  for (const auto& line : status.lines) red += line.kind == kStatusRed;
  EXPECT_EQ(red, 1);
  EXPECT_TRUE(status.Logged(AuthoringDriver::kRunCancelled));
  EXPECT_TRUE(status.messages.empty());
}

TEST_F(ParallelRun, ATitleFailingAmidTheRepairsStopsTheRunWithItsReason) {
  const std::string a = Clip("a.avi", "320x240", 40, "-c:v mpeg4 -q:v 8 -c:a libmp3lame");
  const std::string b = Clip("b.avi", "320x240", 40, "-c:v mpeg4 -q:v 8 -c:a libmp3lame");
  const std::string bad = Clip("bad.avi", "320x240", 1, "-c:v mpeg4 -c:a libmp3lame");
  TitleList titles;
  for (const std::string& path : {a, bad, b}) test::AddTitleFile(titles, path);
  AppSettings settings(temp_ / "Settings.ini");
  settings.temppath = temp_ / "work";
  settings.createmenu = false;
  MenuModel model(temp_ / "app/layout.ini");
  test::RecordingStatus status(false, false);
  AuthoringSteps steps = DefaultAuthoringSteps(status, status);
  const auto convert = steps.convertToDvdMpeg;
  // The short title fails once the two long ones are being made beside it, as a title
  // whose encode breaks off would.
  steps.convertToDvdMpeg = [&](const std::string& source, std::string& output, TvStandard standard,
                               const DiscTarget& target, RunStatus& channel, int threads) {
    if (source != bad) return convert(source, output, standard, target, channel, threads);
    EXPECT_TRUE(WaitFor([&] { return PartFiles(settings.temppath) >= 2; }));
    output = DvdMpegOutputName(output);
    channel.ShowStatus("the encoder stopped: Invalid data found when processing input", 0, kStatusLogAndProgress,
                       kStatusRed);
    return false;
  };
  AuthoringDriver driver(settings, model, titles, steps, status, status);
  driver.SetCores(3);
  const auto sizeBefore = FileSize(a);
  EXPECT_FALSE(driver.StartRun());
  EXPECT_EQ(driver.FailureReason(), "无法修复视频文件，创建 DVD 失败。");
  EXPECT_EQ(status.messages, std::vector<std::string>{"无法修复(转换) " + settings.temppath + "/(TaliroFixedDVD)bad.mpg"});
  EXPECT_FALSE(status.Logged(AuthoringDriver::kRunCancelled));
  // The titles stopped half-way leave nothing; the user's files are as they were.
  EXPECT_EQ(PartFiles(settings.temppath), 0);
  for (const char* made : {"a.mpg", "b.mpg"})
    EXPECT_FALSE(FileExists(settings.temppath + "/(TaliroFixedDVD)" + made)) << made;
  EXPECT_FALSE(FileExists(settings.temppath + "/DVD/VIDEO_TS"));
  EXPECT_EQ(FileSize(a), sizeBefore);
  EXPECT_EQ(Children(), std::vector<std::string>{});
  // The log says it once, after the failing title's own lines.
  const std::vector<std::string> log = LogLines(status);
  const auto reason = std::find(log.begin(), log.end(), "无法修复视频文件，创建 DVD 失败。");
  ASSERT_NE(reason, log.end());
  EXPECT_EQ(std::count(log.begin(), log.end(), *reason), 1);
  EXPECT_EQ(*(reason - 1), "the encoder stopped: Invalid data found when processing input");
}

}  // namespace
}  // namespace vantrel
