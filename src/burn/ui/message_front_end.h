// SPDX-License-Identifier: GPL-3.0-or-later
// A disc-writing front end whose questions and notes are message boxes of a window; its
// status goes nowhere. The folder-burn and erase dialogs report through it.
#pragma once

#include <wx/window.h>

#include "burn/burn_front_end.h"

namespace vantrel {

class MessageFrontEnd : public BurnFrontEnd {
 public:
  explicit MessageFrontEnd(wxWindow* owner) : owner_(owner) {}
  bool AskYesNo(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  // Runs the step on a thread of its own while the event loop goes on.
  std::int64_t Aside(const std::function<std::int64_t()>& step) override;

 private:
  wxWindow* owner_;
};

// Yes/No (with or without the information icon) and OK notes as the dialogs show them.
bool AskYesNoBox(wxWindow* owner, const std::string& text, bool informationIcon);
void ShowNoteBox(wxWindow* owner, const std::string& text, bool informationIcon = true);

}  // namespace vantrel
