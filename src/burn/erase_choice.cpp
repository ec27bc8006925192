// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/erase_choice.h"

#include "burn/erase_sequence.h"

namespace vantrel {

bool EraseChoice::BoxClicked(bool checked, RunQuestion& question) {
  quick_ = checked ? 1 : 0;
  if (!checked && !question.AskYesNo(kFullEraseQuestion)) quick_ = 1;
  return quick_ == 1;
}

}  // namespace vantrel
