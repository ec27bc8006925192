// SPDX-License-Identifier: GPL-3.0-or-later
// The erase dialog's quick-erase box: checked when the dialog opens, and unchecking it
// asks first whether a full erase (15 minutes or more) is really wanted.
#pragma once

#include "authoring/run_status.h"

namespace vantrel {

class EraseChoice {
 public:
  // The box was clicked and now shows `checked`; a No to the question checks it again.
  // Returns the box's state afterwards.
  bool BoxClicked(bool checked, RunQuestion& question);
  int QuickFlag() const { return quick_; }

 private:
  int quick_ = 1;
};

}  // namespace vantrel
