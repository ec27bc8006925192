// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/colour_list_box.h"

#include "menu/ui/wx_text.h"

#include <ctime>

namespace vantrel {

class CColourListBox::Model : public wxDataViewVirtualListModel {
 public:
  Model() : wxDataViewVirtualListModel(0) {}
  EventLog log;

  unsigned GetColumnCount() const override { return 1; }
  wxString GetColumnType(unsigned) const override { return "string"; }
  void GetValueByRow(wxVariant& value, unsigned row, unsigned) const override {
    value = row < log.Lines().size() ? U(log.Lines()[row].text) : wxString();
  }
  bool SetValueByRow(const wxVariant&, unsigned, unsigned) override { return false; }
  bool GetAttrByRow(unsigned row, unsigned, wxDataViewItemAttr& attr) const override {
    if (row >= log.Lines().size()) return false;
    const LogRgb c = LogLineColour(log.Lines()[row].kind);
    attr.SetColour(wxColour(c.red, c.green, c.blue));
    return true;
  }
};

CColourListBox::CColourListBox(wxWindow* parent, wxWindowID id)
    : wxDataViewCtrl(parent, id, wxDefaultPosition, wxSize(440, 160),
                     wxDV_NO_HEADER | wxDV_SINGLE),
      model_(new Model) {
  SetName(U("事件日志"));
  AssociateModel(model_);
  model_->DecRef();
  AppendTextColumn(U("事件"), 0, wxDATAVIEW_CELL_INERT, 600);
}

void CColourListBox::AddLine(int kind, const std::string& text) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const bool dropped =
      model_->log.Add(kind, LogTimePrefix(local.tm_hour, local.tm_min, local.tm_sec) + text);
  if (dropped) model_->RowDeleted(0);
  model_->RowAppended();
  const wxDataViewItem last = model_->GetItem(unsigned(model_->log.Lines().size() - 1));
  EnsureVisible(last);
}

const EventLog& CColourListBox::Log() const { return model_->log; }

}  // namespace vantrel

