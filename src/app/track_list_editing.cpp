// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/track_list_editing.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dataview.h>
#include <wx/sizer.h>

#include "app/wx_text.h"

namespace vantrel::app {

wxButton* AddColumnButton(wxWindow* parent, wxBoxSizer* column, const char* label, std::function<void()> action) {
  auto* button = new wxButton(parent, wxID_ANY, U(label));
  button->Bind(wxEVT_BUTTON, [action = std::move(action)](wxCommandEvent&) { action(); });
  column->Add(button, 0, wxEXPAND | wxBOTTOM, 4);
  return button;
}

StreamRow AddStreamRow(wxWindow* parent, wxSizer* sizer, const std::vector<std::string>& names, const char* label,
                       std::function<void(size_t stream)> add) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  StreamRow made;
  made.choice = new wxChoice(parent, wxID_ANY);
  for (const std::string& name : names) made.choice->Append(U(name));
  if (!names.empty()) made.choice->SetSelection(0);
  row->Add(made.choice, 1, wxALIGN_CENTER_VERTICAL);
  made.add = new wxButton(parent, wxID_ANY, U(label));
  made.add->Bind(wxEVT_BUTTON, [choice = made.choice, add = std::move(add)](wxCommandEvent&) {
    if (choice->GetSelection() != wxNOT_FOUND) add(size_t(choice->GetSelection()));
  });
  row->Add(made.add, 0, wxLEFT, 6);
  sizer->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
  return made;
}

RowButtons::RowButtons(wxWindow* parent, wxBoxSizer* column, wxDataViewListCtrl* list, Labels labels,
                       RowEdits edits, std::function<void(int select)> fill)
    : list_(list), edits_(std::move(edits)), fill_(std::move(fill)) {
  remove_ = AddColumnButton(parent, column, labels.remove, [this] {
    Edit([this](size_t row) {
      edits_.remove(row);
      return row;
    });
  });
  up_ = AddColumnButton(parent, column, labels.up,
                        [this] { Edit([this](size_t row) { return edits_.moveUp(row) ? row - 1 : row; }); });
  down_ = AddColumnButton(parent, column, labels.down,
                          [this] { Edit([this](size_t row) { return edits_.moveDown(row) ? row + 1 : row; }); });
}

int RowButtons::Selected() const { return list_->GetSelectedRow(); }

void RowButtons::Enable() {
  const int row = Selected();
  remove_->Enable(row >= 0);
  up_->Enable(row > 0);
  down_->Enable(row >= 0 && size_t(row) + 1 < edits_.rows());
}

void RowButtons::Edit(const std::function<size_t(size_t row)>& edit) {
  const int row = Selected();
  if (row < 0) return;
  const size_t next = edit(size_t(row));
  const size_t rows = edits_.rows();
  fill_(rows == 0 ? -1 : int(std::min(next, rows - 1)));
}

}  // namespace vantrel::app
