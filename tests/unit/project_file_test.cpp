// SPDX-License-Identifier: GPL-3.0-or-later
// Project files: every value back after a save and a read, paths kept relative where the
// titles lie with the project, and old, damaged and hostile files refused or opened with
// what is missing listed.
#include "project/project_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/paths.h"
#include "project/app_settings.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

// A project with every value off its default.
DiscProject FullProject(const test::TempFolder& temp) {
  DiscProject project;
  ProjectTitle a;
  a.source = temp / "films/假期 a.mpg";
  a.caption = "海边 \"的\" 一天 & <夜>";
  a.thumbnailTime = 12.25;
  a.thumbnailShownAt = 12.25;
  a.soundTracks = {{"", 1, "zh", 0}, {temp / "films/commentary.ac3", -1, "en", -250}};
  a.subtitles = {{temp / "films/a.srt", -1, "zh", "GB18030", true}};
  a.chapters = {ChapterMode::kTimes, 0, {0, 61.5, 600}};
  ProjectTitle b;
  b.source = "/elsewhere/b.avi";  // outside the project's folder: kept absolute
  b.caption = "b";
  b.chapters = {ChapterMode::kEveryMinutes, 5, {}};
  project.titles = {a, b};
  MenuDesign& menu = project.menu;
  menu.layout = 0;
  menu.headerLine = false;
  menu.footerLine = true;
  MenuAppearance& look = menu.look;
  look.headerText = "我们的假期";
  look.footerText = "2026";
  look.headerFont = {"DejaVu Serif", 36, 700, true, 134};
  look.footerFont = {"Liberation Sans", 18, 400, false, 1};
  look.captionFont = {"Liberation Mono", 20, 400, true, 1};
  look.highlightFont = {"Arial", 24, 700, false, 1};
  look.selectFont = {"Arial", 26, 400, true, 1};
  look.pageNumberFont = {"Arial", 28, 400, false, 1};
  look.headerColour = MakeColour(0x12, 0x34, 0x56);
  look.footerColour = MakeColour(0xAB, 0xCD, 0xEF);
  look.headerShadowColour = MakeColour(1, 2, 3);
  look.footerShadowColour = MakeColour(4, 5, 6);
  look.headerShadow = false;
  look.footerShadow = true;
  look.captionColour = MakeColour(200, 100, 50);
  look.highlightColour = MakeColour(0, 255, 0);
  look.selectColour = MakeColour(255, 0, 255);
  look.backgroundColour = MakeColour(10, 20, 30);
  look.backgroundPicture = temp / "pictures/sky.png";
  look.headerAlignment = kAlignRight;
  look.footerAlignment = kAlignLeft;
  menu.motion = {true, 12.5, temp / "films/waves.mkv", "/music/theme.ogg", false};
  menu.chapterMenus = true;
  project.disc = {0, 0, 1, false};
  return project;
}

TEST(ProjectFile, EveryValueComesBackAndPathsBesideTheProjectAreRelative) {
  test::TempFolder temp;
  const DiscProject project = FullProject(temp);
  std::string error;
  ASSERT_TRUE(WriteProjectFile(project, temp / "disc.vantrel", error)) << error;
  const std::string text = test::ReadText(temp / "disc.vantrel");
  EXPECT_NE(text.find("\"films/假期 a.mpg\""), std::string::npos) << text;  // UTF-8, relative
  EXPECT_NE(text.find("\"/elsewhere/b.avi\""), std::string::npos);
  EXPECT_NE(text.find("\"pictures/sky.png\""), std::string::npos);
  EXPECT_NE(text.find("\"films/waves.mkv\""), std::string::npos);
  EXPECT_EQ(text.find(temp.Path()), std::string::npos);

  ProjectRead read = ReadProjectFile(temp / "disc.vantrel");
  ASSERT_TRUE(read.opened) << read.error;
  EXPECT_EQ(read.project, project);
  EXPECT_EQ(read.project.titles[0].soundTracks[1].source, temp / "films/commentary.ac3");
  EXPECT_EQ(read.missing, (std::vector<int>{0, 1}));  // neither film exists

  // The folder moved whole: its titles are found in the new place.
  MakeFolder(temp / "films");
  test::WriteText(temp / "films/假期 a.mpg", "x");
  std::filesystem::rename(temp.Path() + "/films", temp / "moved films");  // sanity: a rename works
  std::filesystem::create_directory(temp / "copy");
  std::filesystem::rename(temp / "moved films", temp / "copy/films");
  std::filesystem::copy_file(temp / "disc.vantrel", temp / "copy/disc.vantrel");
  read = ReadProjectFile(temp / "copy/disc.vantrel");
  ASSERT_TRUE(read.opened);
  EXPECT_EQ(read.project.titles[0].source, temp / "copy/films/假期 a.mpg");
  EXPECT_EQ(read.missing, (std::vector<int>{1}));
}

TEST(ProjectFile, NewerDamagedAndForeignFilesAreRefusedWithTheirReason) {
  test::TempFolder temp;
  std::string error;
  ASSERT_TRUE(WriteProjectFile(FullProject(temp), temp / "p.vantrel", error));
  const std::string whole = test::ReadText(temp / "p.vantrel");

  struct Case {
    const char* name;
    std::string text;
    const char* reason;
  } cases[] = {
      {"newer", R"({"format":"vantrel-project","version":2,"titles":[]})", "格式 2"},
      {"truncated", whole.substr(0, whole.size() / 2), "已损坏"},
      {"empty", "", "已损坏"},
      {"not utf-8", std::string("{\"format\":\"vantrel-project\",\"version\":1,\"menu\":{\"header\":{\"text\":\"\xff\xfe\"}}}"),
       "已损坏"},
      {"foreign json", R"({"name":"something else"})", "不是 Vantrel 项目文件"},
      {"array", "[1,2,3]", "不是 Vantrel 项目文件"},
      {"no version", R"({"format":"vantrel-project"})", "格式版本"},
      {"titles not a list", R"({"format":"vantrel-project","version":1,"titles":{"a":1}})", "标题列表无效"},
  };
  for (const Case& c : cases) {
    test::WriteText(temp / "bad.vantrel", c.text);
    const ProjectRead read = ReadProjectFile(temp / "bad.vantrel");
    EXPECT_FALSE(read.opened) << c.name;
    EXPECT_NE(read.error.find(c.reason), std::string::npos) << c.name << ": " << read.error;
    EXPECT_NE(read.error.find(temp / "bad.vantrel"), std::string::npos) << c.name;
  }
  const ProjectRead missing = ReadProjectFile(temp / "none.vantrel");
  EXPECT_FALSE(missing.opened);
  EXPECT_NE(missing.error.find("No such file or directory"), std::string::npos) << missing.error;
  const ProjectRead folder = ReadProjectFile(temp.Path());
  EXPECT_FALSE(folder.opened);
}

TEST(ProjectFile, HostileValuesAreLeftOutOrSetBackAndNoted) {
  test::TempFolder temp;
  ASSERT_EQ(mkfifo((temp / "pipe.mpg").c_str(), 0600), 0);
  test::WriteText(temp / "real.mpg", "x");
  test::WriteText(temp / "p.vantrel", R"({
    "format": "vantrel-project", "version": 1, "unknown future member": {"x": 1},
    "titles": [
      {"source": "real.mpg", "caption": "line\nbreak", "thumbnailTime": -5},
      {"source": "pipe.mpg", "thumbnailTime": 1e308},
      {"source": "../../../../etc/passwd"},
      {"source": "a\u0000b.mpg"},
      {"caption": "no source"},
      "not an object",
      {"source": "real.mpg", "soundTracks": "many", "chapters": {"mode": "sometimes", "times": [1, -2]}}
    ],
    "menu": {"layout": 7, "header": {"text": 5, "font": {"face": "Arial", "height": 100000},
             "colour": "red", "alignment": "middle"},
             "background": {"picture": "bg\r.png"}},
    "disc": {"standard": "SECAM", "shape": "4:3", "menu": "yes"}
  })");
  const ProjectRead read = ReadProjectFile(temp / "p.vantrel");
  ASSERT_TRUE(read.opened) << read.error;
  const DiscProject defaults;
  ASSERT_EQ(read.project.titles.size(), 4u);
  EXPECT_EQ(read.project.titles[0].caption, "real");  // a caption of two lines is not taken
  EXPECT_EQ(read.project.titles[0].thumbnailTime, 0.5);
  EXPECT_EQ(read.project.titles[1].thumbnailTime, 0.5);
  // A path leading out of the project's folder is only ever read; it is resolved plainly.
  EXPECT_EQ(read.project.titles[2].source, "/etc/passwd");
  EXPECT_EQ(read.project.titles[3].chapters, ChapterPlan{});
  EXPECT_TRUE(read.project.titles[3].soundTracks.empty());
  // The pipe is no film: listed as missing, never opened (opening it would hang).
  EXPECT_EQ(read.missing, (std::vector<int>{1}));
  EXPECT_EQ(read.project.menu, defaults.menu);
  EXPECT_EQ(read.project.disc.resolution, defaults.disc.resolution);
  EXPECT_EQ(read.project.disc.shape, 0);
  EXPECT_TRUE(read.project.disc.menu);
  auto noted = [&](const std::string& what) {
    for (const std::string& note : read.notes)
      if (note.find(what) != std::string::npos) return true;
    return false;
  };
  for (const char* what : {"第 4 个标题", "第 5 个标题", "第 6 个标题", "titles[0].caption", "menu.layout",
                           "menu.header.font.height", "menu.header.colour", "menu.background.picture",
                           "disc.standard", "titles[6].chapters.mode", "titles[6].soundTracks", "pipe.mpg"})
    EXPECT_TRUE(noted(what)) << what;
}

TEST(ProjectFile, MovedTitlesAreFoundByNameBelowAFolder) {
  test::TempFolder temp;
  DiscProject project;
  for (const char* name : {"a.mpg", "b.mpg", "c.mpg"}) {
    ProjectTitle title;
    title.source = temp / (std::string("old/") + name);
    project.titles.push_back(title);
  }
  project.titles.push_back(project.titles[0]);  // the same film twice
  MakeFolder(temp / "new/deep/er");
  test::WriteText(temp / "new/a.mpg", "a");
  test::WriteText(temp / "new/deep/er/b.mpg", "b");
  std::vector<int> missing = MissingTitles(project);
  ASSERT_EQ(missing.size(), 4u);
  EXPECT_EQ(FindMissingTitles(project, missing, temp / "new"), 3);
  EXPECT_EQ(project.titles[0].source, temp / "new/a.mpg");
  EXPECT_EQ(project.titles[1].source, temp / "new/deep/er/b.mpg");
  EXPECT_EQ(project.titles[3].source, temp / "new/a.mpg");
  EXPECT_EQ(missing, (std::vector<int>{2}));
}

TEST(ProjectFile, ChoicesGoIntoAndComeFromTheSettings) {
  AppSettings settings("/nonexistent/Settings.ini");
  settings.layout = 1;
  settings.headline = 0;
  settings.resolution = 0;
  settings.zoom = 0;
  settings.disccapacity = 1;
  settings.createmenu = false;
  const DiscProject project = NewProject(settings);
  EXPECT_EQ(project.menu.layout, 1);
  EXPECT_FALSE(project.menu.headerLine);
  EXPECT_EQ(project.disc, (DiscChoices{0, 0, 1, false}));
  AppSettings other("/nonexistent/Settings.ini");
  ApplyProjectChoices(project, other);
  EXPECT_EQ(other.layout, 1);
  EXPECT_EQ(other.headline, 0);
  EXPECT_EQ(other.resolution, 0);
  EXPECT_EQ(other.zoom, 0);
  EXPECT_EQ(other.disccapacity, 1);
  EXPECT_FALSE(other.createmenu);
}

TEST(ProjectFile, MenusStayStillInOlderFilesAndAWrongLengthIsNoted) {
  test::TempFolder temp;
  std::string error;
  DiscProject project = FullProject(temp);
  project.menu.motion = MenuMotion{};
  ASSERT_TRUE(WriteProjectFile(project, temp / "p.vantrel", error));
  std::string text = test::ReadText(temp / "p.vantrel");
  const auto motion = text.find("\"motion\"");
  ASSERT_NE(motion, std::string::npos);
  // A file written before menus could move: no "motion" at all.
  std::string old = text;
  old.replace(motion, old.find('}', motion) + 2 - motion, "");
  test::WriteText(temp / "old.vantrel", old);
  const std::size_t usualNotes = ReadProjectFile(temp / "p.vantrel").notes.size();  // the missing films
  ProjectRead read = ReadProjectFile(temp / "old.vantrel");
  ASSERT_TRUE(read.opened) << read.error << old;
  EXPECT_FALSE(read.project.menu.motion.Moving());
  EXPECT_EQ(read.project.menu.motion, MenuMotion{});
  EXPECT_EQ(read.notes.size(), usualNotes);
  // Nor had it chapter pages.
  EXPECT_TRUE(project.menu.chapterMenus);
  const auto chapters = old.find("\"chapterMenus\"");
  ASSERT_NE(chapters, std::string::npos);
  old.erase(chapters, old.find(',', chapters) + 1 - chapters);
  test::WriteText(temp / "older.vantrel", old);
  read = ReadProjectFile(temp / "older.vantrel");
  ASSERT_TRUE(read.opened) << read.error << old;
  EXPECT_FALSE(read.project.menu.chapterMenus);

  // A film of no length, or of hours, keeps the default and says so.
  for (const char* seconds : {"0", "7200"}) {
    std::string wrong = text;
    const auto at = wrong.find("\"seconds\"", motion);
    wrong.replace(at, wrong.find_first_of(",}", at) - at, std::string("\"seconds\": ") + seconds);
    test::WriteText(temp / "wrong.vantrel", wrong);
    read = ReadProjectFile(temp / "wrong.vantrel");
    ASSERT_TRUE(read.opened);
    EXPECT_EQ(read.project.menu.motion.seconds, MenuMotion::kDefaultSeconds) << seconds;
    ASSERT_EQ(read.notes.size(), usualNotes + 1) << seconds;
    EXPECT_EQ(std::count_if(read.notes.begin(), read.notes.end(),
                            [](const std::string& note) { return note.find("motion.seconds") != std::string::npos; }),
              1);
  }
}

}  // namespace
}  // namespace vantrel
