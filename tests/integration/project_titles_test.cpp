// SPDX-License-Identifier: GPL-3.0-or-later
// A saved project's titles put back into a title list with the real media layer: what the
// list then makes of them is the project that was saved, caption, thumbnail frame and all.
#include "media/project_titles.h"

#include <gtest/gtest.h>

#include "base/paths.h"
#include "media/thumbnail_owner.h"
#include "platform/com/runtime.h"
#include "project/app_settings.h"
#include "project/project_file.h"
#include "project/title_list.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

class QuietView : public AddTitlesView {
 public:
  bool ChooseFiles(std::vector<std::string>&) override { return false; }
  void ShowProgress(const std::string&) override {}
  void CloseProgress() override {}
  void ShowDecoderNotice(const std::string&) override {}
  void ShowTotalDuration(int) override {}
  void RefuseFile(const std::string& path, const std::string&) override { refused.push_back(path); }
  std::vector<std::string> refused;
};

TEST(ProjectTitles, ASavedListComesBackAsTheSameProject) {
  test::TempFolder temp;
  test::ScopedEnv app("VANTREL_APPDIR", temp / "app");
  MakeFolder(temp / "app");
  com::ScopedCoInitialize com;
  const std::string first = temp / "beach.mpg", second = temp / "city at night.mpg";
  ASSERT_TRUE(test::MakeDvdClip(first, 3, false));
  ASSERT_TRUE(test::MakeDvdClip(second, 2, false, "smptebars"));

  TitleList list;
  ThumbnailHost host;
  QuietView view;
  AddTitleFiles(list, host, view, {first, second});
  ASSERT_EQ(list.Count(), 2);
  AppSettings settings;
  DiscProject before = ProjectOf(list, settings);
  before.titles[0].caption = "海边";
  before.titles[0].thumbnailTime = before.titles[0].thumbnailShownAt = 2.0;
  before.titles[1].chapters.mode = ChapterMode::kEveryMinutes;
  before.titles[1].chapters.everyMinutes = 1;

  const std::string file = temp / "disc.vantrel";
  std::string error;
  ASSERT_TRUE(WriteProjectFile(before, file, error)) << error;
  ProjectRead read = ReadProjectFile(file);
  ASSERT_TRUE(read.opened) << read.error;
  EXPECT_TRUE(read.notes.empty()) << read.notes.front();

  TitleList again;
  EXPECT_EQ(AddProjectTitleFiles(again, host, view, read.project.titles), 2);
  const DiscProject after = ProjectOf(again, settings);
  ASSERT_EQ(after.titles.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(after.titles[i].source, before.titles[i].source);
    EXPECT_EQ(after.titles[i].caption, before.titles[i].caption);
    EXPECT_EQ(after.titles[i].thumbnailTime, before.titles[i].thumbnailTime);
    EXPECT_EQ(after.titles[i].thumbnailShownAt, before.titles[i].thumbnailShownAt);
    EXPECT_EQ(after.titles[i].chapters, before.titles[i].chapters);
  }
  EXPECT_TRUE(after.titles == before.titles);
  // The thumbnail is the frame the project shows, not the one adding grabbed.
  EXPECT_NE(after.titles[0].media.thumbnail.pixels, list.Thumbnails().At(list.At(0).ImageIndex).pixels);

  // A file that is refused leaves its title out; the others still take their values.
  std::vector<ProjectTitle> wanted = read.project.titles;
  TitleList partial;
  EXPECT_EQ(AddProjectTitleFiles(partial, host, view, wanted,
                                 [&](const std::string& path) { return path == first ? "no" : ""; }),
            1);
  ASSERT_EQ(partial.Count(), 1);
  EXPECT_EQ(partial.At(0).SourcePath, second);
  EXPECT_EQ(partial.At(0).ChapterMarks, before.titles[1].chapters);
}

}  // namespace
}  // namespace vantrel
