// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/erase_front_end.h"

#include "burn/erase_sequence.h"
#include "burn/ui/burn_dialog.h"
#include "burn/ui/erase_disc_dialog.h"

namespace vantrel {

void EraseFrontEnd::OnLine(const JobLine& line) { dialog_.OnLine(line); }

void EraseFrontEnd::OnQuestion(const JobQuestion& question, AnswerFunction answer) {
  // The erase dialog's quick-erase box asked about the full erase already.
  if (question.text == kFullEraseQuestion) {
    answer(quickFlag_ == 0 ? kAnswerYes : kAnswerNo);
    return;
  }
  if (question.IsNote() || !IsEraseQuestion(question.text)) {
    dialog_.OnQuestion(question, std::move(answer));
    return;
  }
  RunEraseDialog(answer, question.text.substr(0, question.text.find('\n')));
}

void EraseFrontEnd::RunEraseDialog(const AnswerFunction& answer, const std::string& notBlank) {
  bool given = false;
  CEraseDiscDlg erase(&dialog_, notBlank, [&](int quick) {
    quickFlag_ = quick;
    given = true;
    answer(kAnswerYes);
  });
  open_ = &erase;
  erase.ShowModal();
  open_ = nullptr;
  if (!given) answer(kAnswerNo);
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
