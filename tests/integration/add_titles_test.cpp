// SPDX-License-Identifier: GPL-3.0-or-later
// Adding video files as titles with the real media layer.
#include "media/add_titles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/paths.h"
#include "media/thumbnail_owner.h"
#include "platform/com/runtime.h"
#include "project/title_list.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

class RecordingView : public AddTitlesView {
 public:
  bool ChooseFiles(std::vector<std::string>& files) override {
    files = chosen;
    return !chosen.empty();
  }
  void ShowProgress(const std::string& text) override { progress.push_back(text); }
  void CloseProgress() override { ++closed; }
  void ShowDecoderNotice(const std::string& path) override { notices.push_back(path); }
  void ShowTotalDuration(int seconds) override { total = seconds; }

  std::vector<std::string> chosen, progress, notices;
  int closed = 0, total = -1;
};

TEST(AddTitles, FilesBecomeTitlesWithFactsAndThumbnails) {
  test::TempFolder temp;
  test::ScopedEnv app("VANTREL_APPDIR", temp / "app");
  MakeFolder(temp / "app");
  com::ScopedCoInitialize com;
  const std::string pal = temp / "clip.final.mpg", ntsc = temp / "北京 'n'.mpg";
  ASSERT_TRUE(test::MakeDvdClip(pal, 2, false));
  ASSERT_TRUE(test::MakeDvdClip(ntsc, 1, true, "smptebars"));
  const std::string broken = temp / "broken.avi";
  test::WriteText(broken, std::string(4096, 'x'));

  TitleList titles;
  ThumbnailHost host;
  RecordingView view;
  AddFiles(titles, host, view);  // cancelled: nothing changes
  EXPECT_EQ(titles.Count(), 0);
  EXPECT_TRUE(view.progress.empty());

  view.chosen = {pal, ntsc};
  AddFiles(titles, host, view);
  ASSERT_EQ(titles.Count(), 2);
  EXPECT_EQ(titles.ColumnText(0, TitleList::kTitleColumn), "clip.final.mpg");
  EXPECT_EQ(titles.At(0).DisplayTitle, "clip.final");
  EXPECT_EQ(titles.At(0).ResolutionText, "720x576");
  EXPECT_EQ(titles.At(0).FrameRateText, "PAL(25.00fps)");
  EXPECT_EQ(titles.At(1).FrameRateText, "NTSC(29.97fps)");
  EXPECT_EQ(titles.At(0).ImageIndex, 0);
  EXPECT_EQ(titles.At(1).ImageIndex, 1);
  EXPECT_EQ(titles.Thumbnails().At(1).width, 80);
  // The scratch bitmaps carry the row and this process; they go once read.
  EXPECT_EQ(ScratchBitmapPath(1), temp / "app/TEMPBITMAP0001-" + std::to_string(getpid()) + ".bmp");
  EXPECT_FALSE(FileExists(ScratchBitmapPath(0)));
  EXPECT_FALSE(FileExists(ScratchBitmapPath(1)));
  EXPECT_EQ(view.progress, (std::vector<std::string>{"正在检查文件...", "正在载入文件... (1 / 2)",
                                                     "正在载入文件... (2 / 2)"}));
  EXPECT_EQ(view.closed, 1);
  EXPECT_EQ(view.total, int(titles.TotalDuration()));
  EXPECT_GT(titles.TotalDuration(), 2.0);
  EXPECT_NE(titles.MovieSizeText(), TitleList::kInitialMovieSizeText);

  // The third file takes row 2; without a frame it still becomes a title, after the notice.
  AddTitleFiles(titles, host, view, {broken});
  ASSERT_EQ(titles.Count(), 3);
  EXPECT_EQ(view.notices, std::vector<std::string>{broken});
  EXPECT_FALSE(FileExists(ScratchBitmapPath(2)));
  EXPECT_EQ(titles.At(2).ImageIndex, 1);  // the image count minus one, as it stands
  EXPECT_EQ(titles.At(2).Duration, 0);
  EXPECT_EQ(test::ReadText(broken), std::string(4096, 'x'));
}

}  // namespace
}  // namespace vantrel
