// SPDX-License-Identifier: GPL-3.0-or-later
// The title list: numbering, moves, removal, totals and the movie size text.
#include "project/title_list.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace vantrel {
namespace {

std::unique_ptr<TitleRecord> Record(const std::string& path, double seconds) {
  auto record = std::make_unique<TitleRecord>();
  record->SourcePath = path;
  record->Duration = seconds;
  return record;
}

class CountingObserver : public TitleListObserver {
 public:
  void OnRowsChanged() override { ++rowChanges; }
  void OnTotalDurationChanged(int seconds) override { lastTotal = seconds; }
  int rowChanges = 0;
  int lastTotal = -1;
};

TEST(TitleList, RecordDefaults) {
  TitleRecord r;
  EXPECT_EQ(r.ThumbnailTime, 0.5);
  EXPECT_EQ(r.ImageIndex, -1);
  EXPECT_EQ(r.Chapters, "0,15:00,30:00,45:00,1:00:00");
  EXPECT_EQ(r.PostCommand, "call vmgm menu 1;");
  EXPECT_EQ(FrameRateText(29.970f), "NTSC(29.97fps)");
  EXPECT_EQ(FrameRateText(25.0f), "PAL(25.00fps)");
  EXPECT_EQ(FrameRateText(23.976f), "23.98fps");
  EXPECT_EQ(ResolutionText(720, 576), "720x576");
}

TEST(TitleList, AppendShowsNumberNameAndDuration) {
  TitleList list;
  CountingObserver observer;
  list.SetObserver(&observer);
  list.AppendTitle(Record("/v/first.mpg", 3725.9), 4);
  EXPECT_EQ(list.ColumnText(0, TitleList::kNumberColumn), "1");
  EXPECT_EQ(list.ColumnText(0, TitleList::kTitleColumn), "first.mpg");
  EXPECT_EQ(list.ColumnText(0, TitleList::kDurationColumn), "01:02:05");
  EXPECT_EQ(list.ColumnText(0, 0), "");
  EXPECT_EQ(list.ColumnText(5, 1), "");
  EXPECT_EQ(list.RowImage(0), 4);
  EXPECT_EQ(list.At(0).ImageIndex, 4);
  EXPECT_DOUBLE_EQ(list.TotalDuration(), 3725.9);
  EXPECT_EQ(observer.rowChanges, 1);
}

TEST(TitleList, RemovingTheMiddleRowRenumbersAndKeepsImages) {
  TitleList list;
  CountingObserver observer;
  list.SetObserver(&observer);
  list.AppendTitle(Record("/v/a.mpg", 10), 0);
  list.AppendTitle(Record("/v/b.mpg", 20), 1);
  list.AppendTitle(Record("/v/c.mpg", 30), 2);
  EXPECT_FALSE(list.RemoveSelected());  // nothing selected
  list.Select(1);
  ASSERT_TRUE(list.RemoveSelected());
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ColumnText(0, 1), "1");
  EXPECT_EQ(list.ColumnText(1, 1), "2");
  EXPECT_EQ(list.ColumnText(1, 3), "c.mpg");
  EXPECT_EQ(list.RowImage(0), 0);
  EXPECT_EQ(list.RowImage(1), 2);
  EXPECT_DOUBLE_EQ(list.TotalDuration(), 40);
  EXPECT_EQ(observer.lastTotal, 40);
  EXPECT_EQ(list.SelectedTitle(), nullptr);
}

TEST(TitleList, MovesExchangeRecordsAndFollowTheSelection) {
  TitleList list;
  list.AppendTitle(Record("/v/a.mpg", 1), 0);
  list.AppendTitle(Record("/v/b.mpg", 62), 1);
  list.Select(0);
  EXPECT_FALSE(list.MoveUp());  // first row
  TitleRecord* a = list.SelectedTitle();
  ASSERT_TRUE(list.MoveDown());
  EXPECT_EQ(list.SelectedRow(), 1);
  EXPECT_EQ(list.SelectedTitle(), a);  // the same record, not a copy
  EXPECT_EQ(list.ColumnText(0, 3), "b.mpg");
  EXPECT_EQ(list.ColumnText(0, 4), "00:01:02");
  EXPECT_EQ(list.RowImage(0), 1);
  EXPECT_EQ(list.ColumnText(0, 1), "1");  // numbers stay positional
  EXPECT_FALSE(list.MoveDown());          // last row
  ASSERT_TRUE(list.MoveUp());
  EXPECT_EQ(list.ColumnText(0, 3), "a.mpg");
  list.Select(7);
  EXPECT_EQ(list.SelectedRow(), -1);
  EXPECT_FALSE(list.MoveUp());
}

TEST(TitleList, MovieSizeCountsExistingSourceFiles) {
  test::TempFolder temp;
  test::WriteText(temp / "a.mpg", std::string(1048576, 'a'));
  test::WriteText(temp / "b.mpg", std::string(524288, 'b'));
  TitleList list;
  EXPECT_EQ(list.MovieSizeText(), "影片文件大小 - 0 MB");
  list.AppendTitle(Record(temp / "a.mpg", 1), 0);
  list.AppendTitle(Record(temp / "b.mpg", 1), 1);
  list.AppendTitle(Record(temp / "gone.mpg", 1), 2);
  list.RefreshMovieSize();
  EXPECT_EQ(list.MovieSizeText(), "影片文件大小 - 1.50 MB ");
}

TEST(ThumbnailImageList, IndicesStayValidAndSizesAreFitted) {
  ThumbnailImageList images;
  RgbImage big(160, 120);
  big.Row(0)[0] = 200;
  EXPECT_EQ(images.Add(RgbImage(80, 60)), 0);
  EXPECT_EQ(images.Add(big), 1);
  EXPECT_EQ(images.At(1).width, 80);
  EXPECT_EQ(images.At(1).height, 60);
  EXPECT_EQ(images.At(1).Row(0)[0], 200);
  EXPECT_TRUE(images.At(9).Empty());
  EXPECT_TRUE(images.At(-1).Empty());
}

}  // namespace
}  // namespace vantrel
