// SPDX-License-Identifier: GPL-3.0-or-later
// Titles loading on several threads at once: the list's order, each file's own scratch row
// and picture, the report in order, grabs that do not overwrite each other's verdicts, and
// the facts of a file read once but never kept past a change of the file.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "base/paths.h"
#include "media/add_titles.h"
#include "media/frame_grabber.h"
#include "media/thumbnail_owner.h"
#include "platform/com/runtime.h"
#include "support/media_check.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

// One line per thing the report heard, in the order heard.
class OrderReport : public TitleLoadingReport {
 public:
  void OnLoading(int k, int count) override { heard.push_back("loading " + std::to_string(k) + "/" + std::to_string(count)); }
  void OnRefused(const std::string& path, const std::string& reason) override {
    heard.push_back("refused " + StemOf(path) + ": " + reason);
  }
  void OnDecoderMissing(const std::string& path) override { heard.push_back("no decoder " + StemOf(path)); }
  std::vector<std::string> heard;
};

// Remembers every scratch bitmap the grabs wrote their picture to.
class RowSpy : public ThumbnailHost {
 public:
  bool ScaleToThumbnail(const std::string& source, int cx, int cy, const std::string& target) override {
    {
      std::lock_guard lock(mutex_);
      targets.insert(target);
    }
    return ThumbnailHost::ScaleToThumbnail(source, cx, cy, target);
  }
  std::set<std::string> targets;

 private:
  std::mutex mutex_;
};

std::string ColourClip(const std::string& path, const std::string& colour, int seconds = 2) {
  test::MakeClip("-f lavfi -i color=c=" + colour + ":s=160x120:r=25:d=" + std::to_string(seconds) + " -c:v mpeg4",
                 path);
  return path;
}

// The strongest of red, green and blue in the middle of a picture.
char MainColour(const RgbImage& picture) {
  if (picture.width == 0) return '?';
  const std::uint8_t* p = picture.Row(picture.height / 2) + 3 * (picture.width / 2);
  if (p[0] > 150 && p[1] < 100 && p[2] < 100) return 'r';
  if (p[1] > 100 && p[0] < 100 && p[2] < 100) return 'g';
  if (p[2] > 150 && p[0] < 100 && p[1] < 100) return 'b';
  return '?';
}

TEST(ParallelLoading, TitlesKeepTheListsOrderTheirOwnRowsAndPicturesAndRefusalsTheirReasons) {
  test::TempFolder temp;
  test::ScopedEnv app("VANTREL_APPDIR", temp / "app");
  MakeFolder(temp / "app");
  com::ScopedCoInitialize com;
  // A long red clip first: were the files reported as they finish, the short ones after it
  // would come first.
  const std::string red = ColourClip(temp / "red.avi", "red", 20);
  const std::string green = ColourClip(temp / "green.avi", "green");
  const std::string blue = ColourClip(temp / "blue.avi", "blue");
  const std::string folder = temp / "a folder.mpg";
  MakeFolder(folder);
  const std::string refused = ColourClip(temp / "refused.avi", "green");
  // A plain check, as callers write them: it is called one file at a time, in the list's
  // order, so it needs no lock of its own.
  std::vector<std::string> checked;
  std::atomic<int> checking = 0, overlaps = 0;
  auto check = [&](const std::string& path) {
    if (checking++ > 0) ++overlaps;
    checked.push_back(path);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // widens any overlap
    --checking;
    return path == refused ? std::string("不是可以读取的视频文件") : std::string();
  };

  RowSpy host;
  OrderReport report;
  std::vector<LoadedTitle> loaded =
      LoadTitleFiles(host, {{red}, {folder}, {green}, {refused}, {blue}, {red, 1.0}}, 3, check, report);

  ASSERT_EQ(loaded.size(), 6u);
  const std::vector<std::string> paths = {red, folder, green, refused, blue, red};
  for (size_t k = 0; k < paths.size(); ++k) EXPECT_EQ(loaded[k].path, paths[k]) << k;
  EXPECT_FALSE(loaded[1].record);
  EXPECT_FALSE(loaded[1].refusal.empty());
  EXPECT_FALSE(loaded[3].record);
  EXPECT_EQ(loaded[3].refusal, "不是可以读取的视频文件");
  EXPECT_EQ(overlaps, 0);
  EXPECT_EQ(checked, (std::vector<std::string>{red, green, refused, blue, red}));  // the folder never reaches it
  std::string colours;
  for (size_t k : {0, 2, 4, 5}) {
    ASSERT_TRUE(loaded[k].record) << k;
    EXPECT_EQ(loaded[k].record->SourcePath, paths[k]);
    colours += MainColour(loaded[k].thumbnail);
  }
  EXPECT_EQ(colours, "rgbr");
  EXPECT_DOUBLE_EQ(loaded[0].record->Duration, 20.0);
  EXPECT_DOUBLE_EQ(loaded[5].record->ThumbnailTime, 1.0);

  // The folder is refused before loading begins, the check's refusal after its progress line.
  EXPECT_EQ(report.heard, (std::vector<std::string>{"loading 1/6", "refused a folder: " + loaded[1].refusal,
                                                    "loading 3/6", "loading 4/6",
                                                    "refused refused: 不是可以读取的视频文件", "loading 5/6",
                                                    "loading 6/6"}));
  // Four titles, rows 3 to 6: a refused file takes no row and no two files share one.
  EXPECT_EQ(host.targets, (std::set<std::string>{ScratchBitmapPath(3), ScratchBitmapPath(4), ScratchBitmapPath(5),
                                                 ScratchBitmapPath(6)}));
  for (int row = 3; row <= 6; ++row) EXPECT_FALSE(FileExists(ScratchBitmapPath(row))) << row;
}

// The export of the good clip is held at its scaling until the grab of a file with no
// pictures has ended: the two verdicts must stay each grab's own.
class HeldScaling : public ThumbnailHost {
 public:
  explicit HeldScaling(std::string held) : held_(std::move(held)) {}
  bool ScaleToThumbnail(const std::string& source, int cx, int cy, const std::string& target) override {
    if (target == held_) {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return released_; });
    }
    return ThumbnailHost::ScaleToThumbnail(source, cx, cy, target);
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::string held_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool released_ = false;
};

TEST(ParallelLoading, GrabsAtOnceKeepTheirOwnVerdicts) {
  test::TempFolder temp;
  test::ScopedEnv app("VANTREL_APPDIR", temp / "app");
  MakeFolder(temp / "app");
  com::ScopedCoInitialize com;
  const std::string clip = ColourClip(temp / "clip.avi", "blue");
  const std::string sound = temp / "sound only.wav";
  ASSERT_TRUE(test::MakeClip("-f lavfi -i sine=d=1", sound));
  HeldScaling owner(temp / "good.bmp");
  ThumbnailGrabJob good{clip, temp / "good.bmp", 0.5, &owner}, none{sound, temp / "none.bmp", 0.5, &owner};
  unsigned char goodResult = 9;
  std::thread first([&] {
    com::ScopedCoInitialize components;
    goodResult = RunThumbnailGrab(good);
  });
  const unsigned char noneResult = RunThumbnailGrab(none);
  owner.Release();
  first.join();
  EXPECT_EQ(noneResult, 0);
  EXPECT_EQ(goodResult, 1);
  EXPECT_TRUE(FileExists(temp / "good.bmp"));
  EXPECT_FALSE(FileExists(temp / "none.bmp"));
}

TEST(ParallelLoading, AFileChangedUnderTheSameNameIsReadAgain) {
  test::TempFolder temp;
  com::ScopedCoInitialize com;
  CVideoEdit control;
  ASSERT_TRUE(control.Create());
  const std::string path = temp / "clip.avi";
  ColourClip(path, "red", 3);
  EXPECT_DOUBLE_EQ(control.QueryDuration(path), 3.0);
  EXPECT_EQ(control.QueryFrameWidth(path), 160);
  // Another file in its place, as a user re-exporting a clip does: a longer, larger one.
  const std::string other = temp / "other.avi";
  test::MakeClip("-f lavfi -i color=c=red:s=320x240:r=25:d=5 -c:v mpeg4", other);
  ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
  EXPECT_DOUBLE_EQ(control.QueryDuration(path), 5.0);
  EXPECT_EQ(control.QueryFrameWidth(path), 320);
  EXPECT_EQ(control.QueryFrameHeight(path), 240);
  // A file that is gone answers nothing, not its old facts.
  ASSERT_EQ(std::remove(path.c_str()), 0);
  EXPECT_DOUBLE_EQ(control.QueryDuration(path), 0.0);
  EXPECT_EQ(control.QueryFrameWidth(path), 0);
}

}  // namespace
}  // namespace vantrel
