// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/title_list.h"

#include <cstdint>
#include <utility>

#include "base/duration_text.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {

void TitleList::ShowRecord(Row& row) {
  row.title = FileNameOf(row.record->SourcePath);
  row.duration = DurationText(row.record->Duration);
  row.image = row.record->ImageIndex;
}

void TitleList::NotifyRows() {
  if (observer_) observer_->OnRowsChanged();
}

void TitleList::AppendTitle(std::unique_ptr<TitleRecord> record, int thumbnailIndex) {
  if (!record) return;
  record->ImageIndex = thumbnailIndex;
  Row row;
  row.record = std::move(record);
  row.number = Format("%d", Count() + 1);
  ShowRecord(row);
  totalDuration_ += row.record->Duration;
  rows_.push_back(std::move(row));
  NotifyRows();
}

bool TitleList::MoveSelected(int offset) {
  int a = selected_;
  int b = a + offset;
  if (a < 0 || b < 0 || b >= Count()) return false;
  // The title moves with all it shows (a caption set in its properties, its picture);
  // only the numbers stay with the places.
  std::swap(rows_[size_t(a)], rows_[size_t(b)]);
  std::swap(rows_[size_t(a)].number, rows_[size_t(b)].number);
  selected_ = b;  // the selection follows the moved title
  NotifyRows();
  return true;
}

bool TitleList::MoveUp() { return MoveSelected(-1); }
bool TitleList::MoveDown() { return MoveSelected(+1); }

bool TitleList::RemoveSelected() {
  if (selected_ < 0) return false;
  totalDuration_ -= rows_[size_t(selected_)].record->Duration;
  if (rows_.size() == 1) totalDuration_ = 0;  // no rounding residue on an empty list
  if (observer_) observer_->OnTotalDurationChanged(int(totalDuration_));
  rows_.erase(rows_.begin() + selected_);
  selected_ = -1;
  for (int i = 0; i < Count(); ++i) rows_[size_t(i)].number = Format("%d", i + 1);
  RefreshMovieSize();
  NotifyRows();
  return true;
}

void TitleList::Clear() {
  rows_.clear();
  selected_ = -1;
  totalDuration_ = 0;
  if (observer_) observer_->OnTotalDurationChanged(0);
  RefreshMovieSize();
  NotifyRows();
}

std::string TitleList::ColumnText(int row, int column) const {
  if (row < 0 || row >= Count()) return std::string();
  const Row& r = rows_[size_t(row)];
  switch (column) {
    case kNumberColumn: return r.number;
    case kTitleColumn: return r.title;
    case kDurationColumn: return r.duration;
    default: return std::string();
  }
}

int TitleList::RowImage(int row) const {
  return (row < 0 || row >= Count()) ? -1 : rows_[size_t(row)].image;
}

void TitleList::SetTitleText(int row, const std::string& text) {
  if (row < 0 || row >= Count()) return;
  rows_[size_t(row)].title = text;
  NotifyRows();
}

void TitleList::SetRowImage(int row, int image) {
  if (row < 0 || row >= Count()) return;
  rows_[size_t(row)].image = image;
  NotifyRows();
}

void TitleList::Select(int row) { selected_ = (row >= 0 && row < Count()) ? row : -1; }

TitleRecord* TitleList::SelectedTitle() {
  return selected_ < 0 ? nullptr : rows_[size_t(selected_)].record.get();
}

void TitleList::RefreshMovieSize() {
  std::uint64_t bytes = 0;
  for (const Row& row : rows_) bytes += FileSize(row.record->SourcePath);
  movieSizeText_ = Tr("影片文件大小 - ") + Format("%.02f MB ", double(bytes) / 1048576.0);
}

}  // namespace vantrel
