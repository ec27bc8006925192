// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's project commands over a scripted window: the title bar, the question
// before unsaved changes go, saving, opening with titles that moved, the recent projects,
// and the copy of unsaved changes that a crashed run leaves for the next start.
#include "app/project_session.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>

#include "base/paths.h"
#include "project/project_file.h"
#include "support/temp_folder.h"

namespace vantrel::app {
namespace {

class ScriptedWindow : public ProjectSessionView {
 public:
  DiscProject CurrentProject() override { return shown; }
  void ShowProject(const DiscProject& project) override { shown = project; }
  void SetWindowTitle(const std::string& text) override { title = text; }
  void ShowRecent(const std::vector<std::string>& files) override { recent = files; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  Answer Ask(const std::string& question, bool) override {
    questions.push_back(question);
    if (answers.empty()) return kCancel;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool ChooseProjectToOpen(std::string& path) override { return Take(path); }
  bool ChooseProjectToSave(const std::string&, std::string& path) override { return Take(path); }
  bool ChooseFolder(std::string& folder) override { return Take(folder); }

  bool Take(std::string& path) {
    if (paths.empty()) return false;
    path = paths.front();
    paths.pop_front();
    return true;
  }

  DiscProject shown;
  std::string title;
  std::vector<std::string> recent, messages, questions;
  std::deque<Answer> answers;
  std::deque<std::string> paths;
};

ProjectTitle TitleOf(const std::string& source) {
  ProjectTitle title;
  title.source = source;
  title.caption = StemOf(source);
  return title;
}

struct Fixture {
  test::TempFolder temp;
  ScriptedWindow window;
  ProjectRecovery recovery{temp / "state", (unsigned long)getpid()};
  RecentProjects recent{temp / "recent"};
  ProjectSession session{window, recovery, recent};
};

TEST(ProjectSession, TheTitleBarAndTheQuestionFollowUnsavedChanges) {
  Fixture f;
  f.session.Start();
  EXPECT_EQ(f.window.title, "Vantrel");
  EXPECT_TRUE(f.session.MayClose());  // nothing to ask about
  EXPECT_TRUE(f.window.questions.empty());

  const std::string video = f.temp / "beach.mpg";
  test::WriteText(video, "x");
  f.window.shown.titles.push_back(TitleOf(video));
  f.session.Refresh();
  EXPECT_EQ(f.window.title, "*未命名 - Vantrel");

  // Cancel keeps the window; a save whose chooser is cancelled keeps it too.
  EXPECT_FALSE(f.session.MayClose());
  f.window.answers = {ProjectSessionView::kYes};
  EXPECT_FALSE(f.session.MayClose());
  ASSERT_EQ(f.window.questions.size(), 2u);
  EXPECT_EQ(f.window.questions[0], "项目“未命名”有未保存的更改。要保存吗？");

  // Saved under a name without the extension: the file gets it.
  f.window.answers = {ProjectSessionView::kYes};
  f.window.paths = {f.temp / "holiday"};
  EXPECT_TRUE(f.session.MayClose());
  const std::string file = f.temp / "holiday.vantrel";
  EXPECT_TRUE(FileExists(file));
  EXPECT_EQ(f.window.title, "holiday - Vantrel");
  EXPECT_EQ(f.window.recent, std::vector<std::string>{file});

  f.window.shown.menu.look.headerText = "我们的假期";
  f.session.Refresh();
  EXPECT_EQ(f.window.title, "*holiday - Vantrel");
  f.window.shown.menu.look.headerText = ProjectRead().project.menu.look.headerText;
  f.session.Refresh();
  EXPECT_EQ(f.window.title, "holiday - Vantrel");  // back as saved: nothing to save
}

TEST(ProjectSession, OpeningAsksForMovedTitlesAndLeavesOutWhatStaysMissing) {
  Fixture f;
  MakeFolder(f.temp / "old");
  MakeFolder(f.temp / "new/deeper");
  for (const char* name : {"old/a.mpg", "old/b.mpg"}) test::WriteText(f.temp / name, "x");
  DiscProject project;
  project.titles = {TitleOf(f.temp / "old/a.mpg"), TitleOf(f.temp / "old/b.mpg")};
  std::string error;
  ASSERT_TRUE(WriteProjectFile(project, f.temp / "disc.vantrel", error));
  std::rename((f.temp / "old/a.mpg").c_str(), (f.temp / "new/deeper/a.mpg").c_str());
  std::remove((f.temp / "old/b.mpg").c_str());
  f.session.Start();

  // Cancel: nothing is opened.
  EXPECT_FALSE(f.session.OpenFile(f.temp / "disc.vantrel"));
  EXPECT_TRUE(f.window.shown.titles.empty());
  ASSERT_EQ(f.window.questions.size(), 1u);
  EXPECT_NE(f.window.questions[0].find(f.temp / "old/a.mpg"), std::string::npos);

  // A folder finds one; the other is left out when the user gives up on it.
  f.window.questions.clear();
  f.window.answers = {ProjectSessionView::kYes, ProjectSessionView::kNo};
  f.window.paths = {f.temp / "new"};
  EXPECT_TRUE(f.session.OpenFile(f.temp / "disc.vantrel"));
  ASSERT_EQ(f.window.shown.titles.size(), 1u);
  EXPECT_EQ(f.window.shown.titles[0].source, f.temp / "new/deeper/a.mpg");
  ASSERT_EQ(f.window.questions.size(), 2u);
  EXPECT_EQ(f.window.questions[1].find(f.temp / "old/a.mpg"), std::string::npos);
  EXPECT_TRUE(f.window.messages.empty());
  // What the window shows is not what the file holds: saving is up to the user.
  EXPECT_EQ(f.window.title, "*disc - Vantrel");
}

TEST(ProjectSession, ADamagedOrVanishedProjectIsRefusedAndLeavesTheWindowAsItWas) {
  Fixture f;
  test::WriteText(f.temp / "cut.vantrel", "{\"format\": \"vantrel-project\", \"version\": 1, \"titles\": [");
  f.session.Start();
  f.recent.Add(f.temp / "gone.vantrel");
  EXPECT_FALSE(f.session.OpenFile(f.temp / "cut.vantrel"));
  EXPECT_FALSE(f.session.OpenFile(f.temp / "gone.vantrel"));
  ASSERT_EQ(f.window.messages.size(), 2u);
  EXPECT_EQ(f.window.messages[0].rfind("无法打开项目 " + f.temp / "cut.vantrel", 0), 0u);
  EXPECT_EQ(f.window.title, "Vantrel");
  EXPECT_TRUE(f.recent.Files().empty());  // a vanished file leaves the recent list
}

TEST(ProjectSession, UnsavedChangesAreKeptAndOfferedBackAfterACrash) {
  test::TempFolder temp;
  const std::string video = temp / "beach.mpg";
  test::WriteText(video, "x");
  // A run that ends without removing its copy, as a killed one does.
  const pid_t crashed = fork();
  if (crashed == 0) {
    ScriptedWindow window;
    ProjectRecovery recovery(temp / "state", (unsigned long)getpid());
    RecentProjects recent(temp / "recent");
    ProjectSession session(window, recovery, recent);
    session.Start();
    session.KeepUnsaved();  // nothing changed: no copy
    if (recovery.HasCopy()) _exit(1);
    window.shown.titles.push_back(TitleOf(video));
    window.shown.menu.look.headerText = "崩溃之前";
    session.KeepUnsaved();
    _exit(recovery.HasCopy() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(crashed, &status, 0), crashed);
  ASSERT_EQ(WEXITSTATUS(status), 0);

  ScriptedWindow window;
  ProjectRecovery recovery(temp / "state", (unsigned long)getpid());
  RecentProjects recent(temp / "recent");
  ProjectSession session(window, recovery, recent);
  session.Start();
  ASSERT_EQ(recovery.LeftOver().size(), 1u);
  window.answers = {ProjectSessionView::kYes};
  EXPECT_TRUE(session.OfferRestore());
  ASSERT_EQ(window.shown.titles.size(), 1u);
  EXPECT_EQ(window.shown.titles[0].source, video);
  EXPECT_EQ(window.shown.menu.look.headerText, "崩溃之前");
  EXPECT_EQ(window.title, "*未命名 - Vantrel");
  EXPECT_TRUE(recovery.LeftOver().empty());
  EXPECT_TRUE(recovery.HasCopy());  // this run's own copy, made at once
  EXPECT_FALSE(session.OfferRestore());
  // Closing without saving gives the changes up.
  window.answers = {ProjectSessionView::kNo};
  EXPECT_TRUE(session.MayClose());
  EXPECT_FALSE(recovery.HasCopy());
}

TEST(ProjectSession, ACopyOfARunningProgramIsNotOfferedAndADeclinedOneGoes) {
  test::TempFolder temp;
  ScriptedWindow window;
  window.shown.menu.look.headerText = "x";
  ProjectRecovery running(temp / "state", (unsigned long)getppid());  // alive: our parent
  std::string error;
  ASSERT_TRUE(running.Save(window.shown, "", error)) << error;
  ProjectRecovery mine(temp / "state", (unsigned long)getpid());
  EXPECT_TRUE(mine.LeftOver().empty());

  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  ProjectRecovery left(temp / "state", (unsigned long)ended);
  ASSERT_TRUE(left.Save(window.shown, temp / "trip.vantrel", error)) << error;
  const auto copies = mine.LeftOver();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].origin, temp / "trip.vantrel");
  RecentProjects recent(temp / "recent");
  ProjectSession session(window, mine, recent);
  window.answers = {ProjectSessionView::kNo};
  EXPECT_FALSE(session.OfferRestore());
  EXPECT_EQ(window.questions.at(0), "Vantrel 上次没有正常结束，项目“trip”的未保存更改还在。要恢复吗？");
  EXPECT_TRUE(mine.LeftOver().empty());
  EXPECT_TRUE(running.HasCopy());
}

TEST(RecentProjects, NewestFirstOnceEachAtMostEightAndKept) {
  test::TempFolder temp;
  {
    RecentProjects recent(temp / "state/recent");
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(recent.Add("/p/" + std::to_string(i) + ".vantrel"));
    EXPECT_TRUE(recent.Add("/p/5.vantrel"));
    EXPECT_FALSE(recent.Add("relative.vantrel"));
    EXPECT_FALSE(recent.Add("/p/two\nlines.vantrel"));
  }
  RecentProjects again(temp / "state/recent");
  const std::vector<std::string> expected = {"/p/5.vantrel", "/p/9.vantrel", "/p/8.vantrel", "/p/7.vantrel",
                                             "/p/6.vantrel", "/p/4.vantrel", "/p/3.vantrel", "/p/2.vantrel"};
  EXPECT_EQ(again.Files(), expected);
}

}  // namespace
}  // namespace vantrel::app
