// SPDX-License-Identifier: GPL-3.0-or-later
// The title list on screen: a native list (rows and cells visible to screen readers) in
// step with the TitleList it shows. Thumbnails come from the list's ThumbnailImageList.
#pragma once

#include <wx/dataview.h>

#include "project/title_list.h"

namespace vantrel::app {

class TitleListView : public wxDataViewListCtrl {
 public:
  TitleListView(wxWindow* parent, wxWindowID id, TitleList& titles);
  // Rebuilds every row from the list and shows its selection.
  void Reload();
  // The row of an item, -1 for none.
  int RowOf(const wxDataViewItem& item) const;

 private:
  TitleList& titles_;
  bool reloading_ = false;
};

// The 80 x 60 thumbnail as a bitmap (an empty one of that size when none exists).
wxBitmap ThumbnailBitmap(const ThumbnailImageList& images, int index);

}  // namespace vantrel::app
