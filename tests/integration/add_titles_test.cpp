// SPDX-License-Identifier: GPL-3.0-or-later
// Adding video files as titles with the real media layer.
#include "media/add_titles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

#include "base/paths.h"
#include "media/thumbnail_owner.h"
#include "media/thumbnail_time.h"
#include "platform/com/runtime.h"
#include "project/title_list.h"
#include "support/media_check.h"
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
  void RefuseFile(const std::string& path, const std::string& reason) override {
    refused.push_back(path + ": " + reason);
  }

  std::vector<std::string> chosen, progress, notices, refused;
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
  // A blank picture of its own: the second title's stays the second title's alone.
  EXPECT_EQ(titles.At(2).ImageIndex, 2);
  ASSERT_EQ(titles.Thumbnails().Count(), 3);
  const RgbImage& blank = titles.Thumbnails().At(2);
  EXPECT_EQ(blank.width, 80);
  EXPECT_EQ(std::count(blank.pixels.begin(), blank.pixels.end(), 0), 80 * 60 * 3);
  EXPECT_EQ(titles.At(2).Duration, 0);
  EXPECT_EQ(test::ReadText(broken), std::string(4096, 'x'));
}

// Footage that opens on black: the thumbnail comes from the first moment that shows
// something, and the title remembers that moment for its properties sheet. A file the
// check refuses is reported with its reason and never listed.
TEST(AddTitles, TheThumbnailSkipsABlackStartAndARefusedFileStaysOut) {
  test::TempFolder temp;
  test::ScopedEnv app("VANTREL_APPDIR", temp / "app");
  MakeFolder(temp / "app");
  com::ScopedCoInitialize com;
  const std::string fading = temp / "fade in.avi";
  ASSERT_TRUE(test::MakeClip("-f lavfi -i color=c=black:s=320x240:r=25:d=1.3 -f lavfi -i "
                             "testsrc=s=320x240:r=25:d=3 -filter_complex \"[0][1]concat=n=2:v=1:a=0\" "
                             "-c:v mpeg4",
                             fading));
  const std::string refused = temp / "refused.mpg";
  test::WriteText(refused, "text");

  TitleList titles;
  ThumbnailHost host;
  RecordingView view;
  std::vector<std::string> checked;
  AddTitleFiles(titles, host, view, {refused, fading}, [&](const std::string& path) {
    checked.push_back(path);
    return path == refused ? std::string("不是可以读取的视频文件") : std::string();
  });
  EXPECT_EQ(checked, (std::vector<std::string>{refused, fading}));
  EXPECT_EQ(view.refused, (std::vector<std::string>{refused + ": 不是可以读取的视频文件"}));
  ASSERT_EQ(titles.Count(), 1);
  EXPECT_EQ(titles.ColumnText(0, TitleList::kTitleColumn), "fade in.avi");
  EXPECT_DOUBLE_EQ(titles.At(0).ThumbnailTime, 2.0);  // 0.5 s and 1 s are black
  const RgbImage& thumbnail = titles.Thumbnails().At(titles.At(0).ImageIndex);
  const PictureLook look = LookOf(thumbnail.pixels.data(), thumbnail.width, thumbnail.height, thumbnail.width * 3);
  EXPECT_TRUE(ShowsSomething(look)) << look.mean << " " << look.spread;
  EXPECT_TRUE(view.notices.empty());
}

// Loading on its own, as a front end's worker does: a saved moment is grabbed as it is, a stop is seen before the next file,
// and each loaded file took the scratch row after the last one that loaded.
class StoppingReport : public TitleLoadingReport {
 public:
  void OnLoading(int k, int count) override { loading.push_back(std::to_string(k) + "/" + std::to_string(count)); }
  void OnRefused(const std::string& path, const std::string&) override { refused.push_back(path); }
  void OnDecoderMissing(const std::string& path) override { missing.push_back(path); }
  bool Stopped() const override { return int(loading.size()) >= stopAfter; }

  std::vector<std::string> loading, refused, missing;
  int stopAfter = 1000;
};

TEST(AddTitles, LoadingTakesSavedMomentsAndStopsBetweenFiles) {
  test::TempFolder temp;
  test::ScopedEnv app("VANTREL_APPDIR", temp / "app");
  MakeFolder(temp / "app");
  com::ScopedCoInitialize com;
  // Red for its first 2 s, then blue: the thumbnail's colour tells the moment it shows.
  const std::string clip = temp / "two colours.avi";
  ASSERT_TRUE(test::MakeClip("-f lavfi -i color=c=red:s=160x120:r=25:d=2 -f lavfi -i "
                             "color=c=blue:s=160x120:r=25:d=2 -filter_complex \"[0][1]concat=n=2:v=1:a=0\" "
                             "-c:v mpeg4",
                             clip));
  const std::string text = temp / "notes.mpg";
  test::WriteText(text, "text");
  ThumbnailHost host;
  StoppingReport report;
  auto check = [&](const std::string& path) { return path == text ? std::string("不是可以读取的视频文件") : std::string(); };
  std::vector<LoadedTitle> loaded =
      LoadTitleFiles(host, {{clip, 3.0}, {text}, {clip}}, 5, check, report);
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(report.loading, (std::vector<std::string>{"1/3", "2/3", "3/3"}));
  EXPECT_EQ(report.refused, std::vector<std::string>{text});
  EXPECT_TRUE(report.missing.empty());
  EXPECT_FALSE(loaded[1].record);
  EXPECT_EQ(loaded[1].refusal, "不是可以读取的视频文件");
  for (int k : {0, 2}) {
    ASSERT_TRUE(loaded[size_t(k)].record) << k;
    ASSERT_EQ(loaded[size_t(k)].thumbnail.width, 80) << k;
  }
  auto isBlue = [](const RgbImage& picture) {
    const std::uint8_t* middle = picture.Row(picture.height / 2) + 3 * (picture.width / 2);
    return middle[2] > 150 && middle[0] < 100;
  };
  EXPECT_DOUBLE_EQ(loaded[0].record->ThumbnailShownAt, 3.0);
  EXPECT_DOUBLE_EQ(loaded[0].record->ThumbnailTime, 3.0);
  EXPECT_TRUE(isBlue(loaded[0].thumbnail));
  // Without a saved moment it is picked: the first that shows something.
  EXPECT_DOUBLE_EQ(loaded[2].record->ThumbnailTime, 0.5);
  EXPECT_DOUBLE_EQ(loaded[2].record->ThumbnailShownAt, 0.5);
  EXPECT_FALSE(isBlue(loaded[2].thumbnail));
  for (int row : {5, 6, 7}) EXPECT_FALSE(FileExists(ScratchBitmapPath(row))) << row;

  StoppingReport stopping;
  stopping.stopAfter = 2;
  loaded = LoadTitleFiles(host, {{clip}, {clip}, {clip}}, 0, {}, stopping);
  EXPECT_EQ(loaded.size(), 2u);
  EXPECT_EQ(stopping.loading, (std::vector<std::string>{"1/3", "2/3"}));
}

TEST(AddTitles, ThumbnailCandidatesStayInsideTheTitle) {
  EXPECT_EQ(ThumbnailCandidates(30), (std::vector<double>{0.5, 1, 2, 3, 5, 8, 12, 20}));
  EXPECT_EQ(ThumbnailCandidates(2.5), (std::vector<double>{0.5, 1, 2}));
  EXPECT_EQ(ThumbnailCandidates(0.4), (std::vector<double>{0.2}));
  EXPECT_EQ(ThumbnailCandidates(0), (std::vector<double>{0.0}));
  // A flat picture is not black but shows nothing; video black is black.
  const std::vector<std::uint8_t> grey(80 * 60 * 3, 128), black(80 * 60 * 3, 16);
  EXPECT_FALSE(ShowsSomething(LookOf(grey.data(), 80, 60, 240)));
  EXPECT_FALSE(IsBlack(LookOf(grey.data(), 80, 60, 240)));
  EXPECT_TRUE(IsBlack(LookOf(black.data(), 80, 60, 240)));
}

}  // namespace
}  // namespace vantrel
