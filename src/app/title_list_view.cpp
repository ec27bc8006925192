// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/title_list_view.h"

#include <algorithm>
#include <cstring>

#include "app/main_window_logic.h"
#include "app/wx_text.h"

namespace vantrel::app {

wxBitmap ThumbnailBitmap(const ThumbnailImageList& images, int index) {
  const RgbImage& image = images.At(index);
  if (image.Empty()) {
    wxImage blank(ThumbnailImageList::kWidth, ThumbnailImageList::kHeight);
    blank.SetRGB(wxRect(0, 0, blank.GetWidth(), blank.GetHeight()), 0, 0, 0);
    return wxBitmap(blank);
  }
  wxImage picture(image.width, image.height, false);
  std::memcpy(picture.GetData(), image.pixels.data(), image.pixels.size());
  return wxBitmap(picture);
}

TitleListView::TitleListView(wxWindow* parent, wxWindowID id, TitleList& titles)
    : wxDataViewListCtrl(parent, id, wxDefaultPosition, wxSize(620, 300),
                         wxDV_SINGLE | wxDV_ROW_LINES),
      titles_(titles) {
  const auto& columns = ListColumns();
  // A header in a longer language widens its column rather than being cut off.
  const int numberWidth = std::max(columns[1].width, GetTextExtent(U(columns[1].header)).x + 24);
  // Column 0 holds nothing and stays out of sight, as in the window's table.
  AppendTextColumn(U(columns[0].header), wxDATAVIEW_CELL_INERT, 0)->SetHidden(true);
  AppendTextColumn(U(columns[1].header), wxDATAVIEW_CELL_INERT, numberWidth);
  AppendBitmapColumn(U(columns[2].header), 2, wxDATAVIEW_CELL_INERT, columns[2].width);
  AppendTextColumn(U(columns[3].header), wxDATAVIEW_CELL_INERT, columns[3].width, wxALIGN_LEFT,
                   wxDATAVIEW_COL_RESIZABLE);
  AppendTextColumn(U(columns[4].header), wxDATAVIEW_CELL_INERT, columns[4].width);
  SetRowHeight(ThumbnailImageList::kHeight + 4);
  Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, [this](wxDataViewEvent& event) {
    if (!reloading_) titles_.Select(RowOf(GetSelection()));
    event.Skip();
  });
}

int TitleListView::RowOf(const wxDataViewItem& item) const {
  return item.IsOk() ? ItemToRow(item) : -1;
}

void TitleListView::Reload() {
  reloading_ = true;
  Freeze();
  DeleteAllItems();
  for (int row = 0; row < titles_.Count(); ++row) {
    wxVector<wxVariant> values;
    values.push_back(wxVariant(wxString()));
    values.push_back(wxVariant(U(titles_.ColumnText(row, TitleList::kNumberColumn))));
    wxVariant picture;
    picture << ThumbnailBitmap(titles_.Thumbnails(), titles_.RowImage(row));
    values.push_back(picture);
    values.push_back(wxVariant(U(titles_.ColumnText(row, TitleList::kTitleColumn))));
    values.push_back(wxVariant(U(titles_.ColumnText(row, TitleList::kDurationColumn))));
    AppendItem(values);
  }
  const int selected = titles_.SelectedRow();
  if (selected >= 0 && selected < GetItemCount()) {
    SelectRow(unsigned(selected));
    EnsureVisible(RowToItem(selected));
  }
  Thaw();
  reloading_ = false;
}

}  // namespace vantrel::app
