// SPDX-License-Identifier: GPL-3.0-or-later
// CColourListBox: the burn dialog's event log, one coloured line a row, without selection.
#pragma once

#include <wx/dataview.h>

#include "burn/burn_dialog_state.h"

namespace vantrel {

class CColourListBox : public wxDataViewCtrl {
 public:
  CColourListBox(wxWindow* parent, wxWindowID id);
  // Adds "time  text" in the kind's colour, dropping the oldest line past 256, and brings
  // the new line into view.
  void AddLine(int kind, const std::string& text);
  const EventLog& Log() const;

 private:
  class Model;
  Model* model_;
};

}  // namespace vantrel
