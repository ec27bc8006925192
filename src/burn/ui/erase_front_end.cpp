// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/erase_front_end.h"

#include "burn/erase_sequence.h"
#include "burn/ui/burn_dialog.h"
#include "burn/ui/erase_disc_dialog.h"

namespace vantrel {

void EraseFrontEnd::ShowStatus(const std::string& text, int position, int mode, int kind) {
  dialog_.ShowStatus(text, position, mode, kind);
}

void EraseFrontEnd::SetProgressRange(int low, int high) { dialog_.SetProgressRange(low, high); }

void EraseFrontEnd::SetProgress(int position) { dialog_.SetProgress(position); }

void EraseFrontEnd::ShowMessage(const std::string& text) { dialog_.ShowMessage(text); }

bool EraseFrontEnd::AskYesNo(const std::string& text) {
  // The erase dialog's quick-erase box asked about the full erase already.
  if (text == kFullEraseQuestion) return quickFlag_ == 0;
  if (!IsEraseQuestion(text)) return dialog_.AskYesNo(text);
  std::promise<bool> answer;
  std::future<bool> answered = answer.get_future();
  const std::string notBlank = text.substr(0, text.find('\n'));
  dialog_.CallAfter([this, &answer, notBlank] { RunEraseDialog(answer, notBlank); });
  return answered.get();
}

void EraseFrontEnd::RunEraseDialog(std::promise<bool>& answer, const std::string& notBlank) {
  // `answer` lives only until it is given: the job goes on (and ends) from then.
  bool given = false;
  CEraseDiscDlg erase(&dialog_, notBlank, [&](int quick) {
    quickFlag_ = quick;
    given = true;
    answer.set_value(true);
  });
  open_ = &erase;
  erase.ShowModal();
  open_ = nullptr;
  if (!given) answer.set_value(false);
  if (afterClose_) {
    std::function<void()> then = std::move(afterClose_);
    afterClose_ = nullptr;
    then();
  }
}

void EraseFrontEnd::JobEnded(std::function<void()> then) {
  if (!open_) {
    then();
    return;
  }
  afterClose_ = std::move(then);
  open_->EraseDone();
}

}  // namespace vantrel
