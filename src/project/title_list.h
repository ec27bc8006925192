// SPDX-License-Identifier: GPL-3.0-or-later
// The ordered list of titles with the column texts its list view shows, the selection,
// the running total of the titles' lengths and the movie size estimate.
// Row i is title number i + 1; every operation that needs a selection does nothing
// without one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "project/thumbnail_image_list.h"
#include "base/translation.h"
#include "project/title_record.h"

namespace vantrel {

// What a list view of the titles hears about; every call comes after the change is made.
class TitleListObserver {
 public:
  virtual ~TitleListObserver() = default;
  virtual void OnRowsChanged() = 0;
  virtual void OnTotalDurationChanged(int seconds) = 0;
};

class TitleList {
 public:
  enum Column { kNumberColumn = 1, kPreviewColumn = 2, kTitleColumn = 3, kDurationColumn = 4 };
  static constexpr const char* kInitialMovieSizeText = N_("影片文件大小 - 0 MB");

  void SetObserver(TitleListObserver* observer) { observer_ = observer; }

  // Appends a row for the record with the given thumbnail (stored in its ImageIndex).
  void AppendTitle(std::unique_ptr<TitleRecord> record, int thumbnailIndex);
  bool MoveUp();
  bool MoveDown();
  bool RemoveSelected();
  // Removes every row (another project is opened). The thumbnails stay in the image list,
  // whose indices rows never share.
  void Clear();

  int Count() const { return int(rows_.size()); }
  const TitleRecord& At(int row) const { return *rows_[size_t(row)].record; }
  TitleRecord& At(int row) { return *rows_[size_t(row)].record; }
  // Column text of a row ("" for columns 0 and 2 and for rows out of range).
  std::string ColumnText(int row, int column) const;
  int RowImage(int row) const;
  // Shows a new caption in column 3 (the title properties sheet sets DisplayTitle there).
  void SetTitleText(int row, const std::string& text);
  // Shows another thumbnail in the row (after the title's thumbnail was grabbed again).
  void SetRowImage(int row, int image);

  // Selection: -1 when no row is selected.
  void Select(int row);
  int SelectedRow() const { return selected_; }
  TitleRecord* SelectedTitle();

  double TotalDuration() const { return totalDuration_; }
  void RefreshMovieSize();
  const std::string& MovieSizeText() const { return movieSizeText_; }

  ThumbnailImageList& Thumbnails() { return thumbnails_; }
  const ThumbnailImageList& Thumbnails() const { return thumbnails_; }

 private:
  struct Row {
    std::unique_ptr<TitleRecord> record;
    std::string number;
    std::string title;
    std::string duration;
    int image = -1;
  };
  void ShowRecord(Row& row);
  bool MoveSelected(int offset);
  void NotifyRows();

  std::vector<Row> rows_;
  int selected_ = -1;
  double totalDuration_ = 0;
  std::string movieSizeText_ = kInitialMovieSizeText;
  ThumbnailImageList thumbnails_;
  TitleListObserver* observer_ = nullptr;
};

}  // namespace vantrel
