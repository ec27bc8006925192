// SPDX-License-Identifier: GPL-3.0-or-later
// Authoring jobs as a front end runs them: two at once in one process, each into its own
// work folder, read back with libdvdread; the process's folder and environment untouched.
#include "jobs/authoring_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "project/title_list.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"

extern char** environ;

namespace vantrel {
namespace {

std::set<std::string> Environment() {
  std::set<std::string> entries;
  for (char** e = environ; *e; ++e) entries.insert(*e);
  return entries;
}

AuthoringOptions Options(const std::string& work, bool ntsc, const std::string& iniPath) {
  AuthoringOptions options;
  options.settings = AppSettings(iniPath);
  options.settings.temppath = work;
  options.settings.resolution = ntsc ? 1 : 0;
  options.settings.createmenu = true;
  options.settings.layout = 0;
  return options;
}

TEST(AuthoringJob, TwoJobsAtOnceInOneProcessBothMakeTheirDisc) {
  test::TempFolder temp;
  test::PrepareAppFolder(temp / "app");
  test::ScopedEnv appDir("VANTREL_APPDIR", temp / "app");
  // One job's title needs the converter, the other's are authored as they are.
  const std::string avi = temp / "clip one.avi", a = temp / "a.mpg", b = temp / "b.mpg";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine -t 2 " + ShellQuote(avi)));
  ASSERT_TRUE(test::MakeDvdClip(a, 2, true));
  ASSERT_TRUE(test::MakeDvdClip(b, 3, true, "smptebars"));
  TitleList first, second;
  test::AddTitleFile(first, avi);
  test::AddTitleFile(second, a);
  test::AddTitleFile(second, b);

  const std::string folderBefore = std::filesystem::current_path().string();
  const std::set<std::string> environmentBefore = Environment();
  test::RecordingStatus statusOne(false, false), statusTwo(false, false);
  const AuthoringOptions optionsOne = Options(temp / "work one", false, temp / "one.ini");
  const AuthoringOptions optionsTwo = Options(temp / "work two", true, temp / "two.ini");
  AuthoringJob one(ProjectOf(first, optionsOne.settings), optionsOne, statusOne);
  AuthoringJob two(ProjectOf(second, optionsTwo.settings), optionsTwo, statusTwo);
  ASSERT_TRUE(one.Start());
  ASSERT_TRUE(two.Start());
  EXPECT_FALSE(one.Start());  // a job runs once
  // While both run, the process stays where it was.
  while (!(one.Done() && two.Done())) {
    EXPECT_EQ(std::filesystem::current_path().string(), folderBefore);
    EXPECT_EQ(std::getenv("VIDEO_FORMAT"), nullptr);
    one.Wait(50);
  }
  two.Wait(-1);
  ASSERT_TRUE(one.Result().succeeded) << one.Result().reason << test::ReadText(one.ToolLogPath());
  ASSERT_TRUE(two.Result().succeeded) << two.Result().reason << test::ReadText(two.ToolLogPath());
  EXPECT_TRUE(one.Authored() && two.Authored());

  test::DvdFacts discOne = test::ReadDvd(one.Folders().output);
  ASSERT_TRUE(discOne.opened);
  ASSERT_EQ(discOne.titles.size(), 1u);
  EXPECT_NEAR(discOne.titles[0].seconds, 2.0, 0.3);
  ASSERT_EQ(discOne.menus.size(), 1u);
  EXPECT_EQ(discOne.menus[0].buttons, 1);
  test::DvdFacts discTwo = test::ReadDvd(two.Folders().output);
  ASSERT_TRUE(discTwo.opened);
  ASSERT_EQ(discTwo.titles.size(), 2u);
  EXPECT_NEAR(discTwo.titles[1].seconds, 3.0, 0.3);
  ASSERT_EQ(discTwo.menus.size(), 1u);
  EXPECT_EQ(discTwo.menus[0].buttons, 2);

  // Each front end heard its own run only; each tool log holds its own tools' output.
  EXPECT_TRUE(statusOne.Logged("fixing clip one.avi 到 DVD 兼容的 VOB"));
  EXPECT_FALSE(statusTwo.Logged("fixing clip one.avi 到 DVD 兼容的 VOB"));
  EXPECT_TRUE(statusOne.Logged("转换完成") && statusTwo.Logged("转换完成"));
  // Each heard its whole job's progress: the steps in order, title k of 2, one bar that
  // never went back and ended full; then the end, once.
  ASSERT_FALSE(statusTwo.progress.empty());
  std::vector<RunStep> steps;
  int lastTitle = 0;
  for (std::size_t i = 0; i < statusTwo.progress.size(); ++i) {
    const JobProgress& p = statusTwo.progress[i];
    if (steps.empty() || steps.back() != p.step) steps.push_back(p.step);
    if (i > 0) {
      EXPECT_GE(p.done, statusTwo.progress[i - 1].done) << i;
    }
    EXPECT_EQ(p.steps, 4);
    if (p.step == RunStep::Titles) {
      EXPECT_EQ(p.titles, 2);
      EXPECT_GE(p.title, lastTitle);
      lastTitle = p.title;
    }
  }
  EXPECT_EQ(steps, (std::vector<RunStep>{RunStep::Checks, RunStep::Titles, RunStep::Authoring, RunStep::Proof}));
  EXPECT_EQ(lastTitle, 2);
  EXPECT_TRUE(statusTwo.progress.back().finished);
  EXPECT_DOUBLE_EQ(statusTwo.progress.back().done, 1.0);
  ASSERT_EQ(statusOne.ends.size(), 1u);
  ASSERT_EQ(statusTwo.ends.size(), 1u);
  EXPECT_TRUE(statusTwo.ends[0].succeeded);
  EXPECT_NE(one.Folders().tool, two.Folders().tool);
  EXPECT_FALSE(FileExists(one.Folders().tool + "/ddas"));
  EXPECT_NE(test::ReadText(one.ToolLogPath()).find("PAL"), std::string::npos);
  EXPECT_NE(test::ReadText(two.ToolLogPath()).find("NTSC"), std::string::npos);

  EXPECT_EQ(std::filesystem::current_path().string(), folderBefore);
  EXPECT_EQ(Environment(), environmentBefore);
}

TEST(AuthoringJob, OneAfterTheOtherAndAFailureWithItsReason) {
  test::TempFolder temp;
  test::PrepareAppFolder(temp / "app");
  test::ScopedEnv appDir("VANTREL_APPDIR", temp / "app");
  const std::string a = temp / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 1, false));
  TitleList titles;
  test::AddTitleFile(titles, a);
  AppSettings caller(temp / "Settings.ini");
  for (const char* work : {"w1", "w2"}) {
    test::RecordingStatus status(false, false);
    AuthoringOptions options = Options(temp / work, false, temp / "Settings.ini");
    options.settings.createmenu = false;
    AuthoringJob job(ProjectOf(titles, options.settings), options, status);
    const JobResult result = job.Run();
    ASSERT_TRUE(result.succeeded) << result.reason;
    EXPECT_EQ(test::ReadDvd(temp / work + "/DVD").titles.size(), 1u);
  }
  EXPECT_FALSE(FileExists(temp / "Settings.ini"));  // a run never writes the settings

  // A title that is not there: the job fails at once and says why.
  TitleList gone;
  test::AddTitleFile(gone, temp / "missing.mpg");
  test::RecordingStatus status(false, false);
  const AuthoringOptions goneOptions = Options(temp / "w3", false, temp / "Settings.ini");
  AuthoringJob job(ProjectOf(gone, goneOptions.settings), goneOptions, status);
  const JobResult result = job.Run();
  EXPECT_FALSE(result.succeeded);
  EXPECT_FALSE(job.Authored());
  EXPECT_NE(result.reason.find(temp / "missing.mpg"), std::string::npos) << result.reason;
  EXPECT_NE(result.reason.find("No such file or directory"), std::string::npos) << result.reason;
  ASSERT_EQ(status.ends.size(), 1u);
  EXPECT_FALSE(status.ends[0].succeeded);
  EXPECT_EQ(status.ends[0].reason, result.reason);
  ASSERT_FALSE(status.progress.empty());
  EXPECT_FALSE(status.progress.back().finished) << "a failed run is not shown as done";
  EXPECT_LT(status.progress.back().done, 1.0);
}

// The menus fail (the silent track cannot be read). Yes goes on without a menu, and the
// program's settings take the switch back from the job: the next run asks no more. No
// stops the run and leaves the switch as it was.
TEST(AuthoringJob, AMenuFailureAnsweredYesTurnsTheProgramsMenuSwitchOff) {
  test::TempFolder temp;
  test::PrepareAppFolder(temp / "app");
  test::WriteText(temp / "app/silence.mp2", "no sound here");
  test::ScopedEnv appDir("VANTREL_APPDIR", temp / "app");
  const std::string a = temp / "a.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 1, false));
  TitleList titles;
  test::AddTitleFile(titles, a);
  for (bool answer : {false, true}) {
    SCOPED_TRACE(answer ? "Yes" : "No");
    AppSettings program(temp / "Settings.ini");
    program.createmenu = true;
    program.temppath = temp / (answer ? "yes" : "no");
    test::RecordingStatus status(answer, false);
    AuthoringOptions options;
    options.settings = program;
    AuthoringJob job(ProjectOf(titles, program), options, status);
    const JobResult result = job.Run();
    EXPECT_EQ(status.questions, std::vector<std::string>{"创建菜单失败，您想要继续吗？"});
    EXPECT_EQ(result.succeeded, answer) << result.reason;
    EXPECT_EQ(job.SettingsChange().menuTurnedOff, answer);
    job.SettingsChange().ApplyTo(program);
    EXPECT_EQ(program.createmenu, !answer);
    if (!answer) continue;
    const test::DvdFacts disc = test::ReadDvd(program.temppath + "/DVD");
    EXPECT_EQ(disc.titles.size(), 1u);
    for (const auto& menu : disc.menus) EXPECT_EQ(menu.buttons, 0);  // the black clip only
    // The next run of the program starts without a menu and asks nothing.
    test::RecordingStatus again(true, false);
    AuthoringOptions next;
    next.settings = program;
    AuthoringJob second(ProjectOf(titles, program), next, again);
    EXPECT_TRUE(second.Run().succeeded);
    EXPECT_TRUE(again.questions.empty());
    EXPECT_FALSE(second.SettingsChange().menuTurnedOff);
  }
}

TEST(AuthoringJob, EditsWhileItRunsDoNotReachTheDisc) {
  test::TempFolder temp;
  test::PrepareAppFolder(temp / "app");
  test::ScopedEnv appDir("VANTREL_APPDIR", temp / "app");
  const std::string a = temp / "a.mpg", b = temp / "b.mpg", c = temp / "c.mpg";
  ASSERT_TRUE(test::MakeDvdClip(a, 2, false));
  ASSERT_TRUE(test::MakeDvdClip(b, 3, false, "smptebars"));
  ASSERT_TRUE(test::MakeDvdClip(c, 1, false));
  auto list = std::make_unique<TitleList>();
  test::AddTitleFile(*list, a);
  test::AddTitleFile(*list, b);
  AuthoringOptions options = Options(temp / "work", false, temp / "Settings.ini");
  // The project's choices hold over the settings the front end passes.
  options.settings.resolution = 1;
  options.settings.createmenu = false;
  auto project = std::make_unique<DiscProject>(ProjectOf(*list, options.settings));
  project->disc.resolution = 0;
  project->disc.menu = true;
  project->titles[0].caption = "第一";
  project->titles[1].caption = "第二";
  project->menu.look.headerText = "开始时的标题";

  test::RecordingStatus status(false, false);
  AuthoringJob job(*project, options, status);
  ASSERT_TRUE(job.Start());
  // The user goes on editing: a title removed, one added, captions and the menu changed,
  // then the window's list and project are gone altogether.
  project->titles.erase(project->titles.begin());
  project->titles[0].caption = "改了";
  project->titles.push_back(project->titles[0]);
  project->titles.back().source = c;
  project->menu.look.headerText = "改了";
  project->disc.resolution = 1;
  list->Select(0);
  list->RemoveSelected();
  test::AddTitleFile(*list, c);
  project.reset();
  list.reset();
  ASSERT_TRUE(job.Wait(-1));
  ASSERT_TRUE(job.Result().succeeded) << job.Result().reason << test::ReadText(job.ToolLogPath());

  const test::DvdFacts disc = test::ReadDvd(job.Folders().output);
  ASSERT_TRUE(disc.opened);
  ASSERT_EQ(disc.titles.size(), 2u);
  EXPECT_NEAR(disc.titles[0].seconds, 2.0, 0.3);
  EXPECT_NEAR(disc.titles[1].seconds, 3.0, 0.3);
  ASSERT_EQ(disc.menus.size(), 1u);
  EXPECT_EQ(disc.menus[0].buttons, 2);
  EXPECT_NE(test::ReadText(job.ToolLogPath()).find("PAL"), std::string::npos);
  ASSERT_EQ(job.Menu().TitleCount(), 2);
  EXPECT_EQ(job.Menu().Titles()[0]->Caption, "第一");
  EXPECT_EQ(job.Menu().Titles()[1]->Caption, "第二");
  EXPECT_EQ(job.Menu().Titles()[1]->SourcePath, b);
  EXPECT_EQ(job.Menu().Appearance().headerText, "开始时的标题");
  EXPECT_EQ(job.RunProject().titles.size(), 2u);
}

}  // namespace
}  // namespace vantrel
