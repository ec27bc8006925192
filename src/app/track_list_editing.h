// SPDX-License-Identifier: GPL-3.0-or-later
// What the track pages share in editing their lists: a column of buttons beside the list,
// the buttons that remove or move the selected row and keep a row selected, and the row
// that adds one of the source's own streams.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class wxBoxSizer;
class wxButton;
class wxChoice;
class wxDataViewListCtrl;
class wxSizer;
class wxWindow;

namespace vantrel::app {

// A button added to `column` (the buttons beside a list); `action` runs on its click.
wxButton* AddColumnButton(wxWindow* parent, wxBoxSizer* column, const char* label, std::function<void()> action);

// A row added to `sizer`: a choice of the source's streams (`names`, the first chosen) and
// a button that runs `add` with the chosen one.
struct StreamRow {
  wxChoice* choice = nullptr;
  wxButton* add = nullptr;
};
StreamRow AddStreamRow(wxWindow* parent, wxSizer* sizer, const std::vector<std::string>& names, const char* label,
                       std::function<void(size_t stream)> add);

// The edits of a page's rows, done by its logic.
struct RowEdits {
  std::function<void(size_t row)> remove;
  std::function<bool(size_t row)> moveUp, moveDown;  // false when the row cannot move
  std::function<size_t()> rows;
};
template <typename Logic>
RowEdits RowEditsOf(Logic& logic) {
  return {[&logic](size_t row) { logic.Remove(row); }, [&logic](size_t row) { return logic.MoveUp(row); },
          [&logic](size_t row) { return logic.MoveDown(row); }, [&logic] { return logic.Tracks().size(); }};
}

// The remove, up and down buttons of a list. Each edits the selected row and has the page
// fill its list again with the row to select: the moved row, or the one that took the
// removed row's place (the last when it was the last; none when the list is empty).
class RowButtons {
 public:
  struct Labels {
    const char *remove, *up, *down;
  };
  RowButtons(wxWindow* parent, wxBoxSizer* column, wxDataViewListCtrl* list, Labels labels, RowEdits edits,
             std::function<void(int select)> fill);
  RowButtons(const RowButtons&) = delete;
  RowButtons& operator=(const RowButtons&) = delete;

  int Selected() const;  // the selected row, -1 when none is
  // Each button enabled where it can act on the selected row.
  void Enable();

 private:
  void Edit(const std::function<size_t(size_t row)>& edit);

  wxDataViewListCtrl* list_;
  RowEdits edits_;
  std::function<void(int)> fill_;
  wxButton *remove_, *up_, *down_;
};

}  // namespace vantrel::app
