// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/erase_sequence.h"

#include <cstring>

#include "base/text_format.h"
#include "base/translation.h"
#include "burn/disc_library.h"
#include "platform/foxburner/foxburner.h"

namespace vantrel {
namespace {

void EraseDoneThunk(const char* text, void* self) {
  static_cast<DiscErase*>(self)->OnEraseDone(text);
}

}  // namespace

std::string NotBlankText(const std::string& mediumType) {
  const bool told = !mediumType.empty() && mediumType != FB_NDEF_TEXT;
  return Format(Tr(kNotBlankText), told ? mediumType.c_str() : "CD-RW");
}

std::string EraseQuestion(const std::string& mediumType) {
  return NotBlankText(mediumType) + "\n" + Tr(kEraseQuestionText);
}

bool IsEraseQuestion(const std::string& text) {
  // Everything after the medium's name, in the language the question was put in.
  const std::string notBlank = Tr(kNotBlankText);
  const std::size_t name = notBlank.find("%s");
  const std::string tail = (name == std::string::npos ? notBlank : notBlank.substr(name + 2)) + "\n" +
                           Tr(kEraseQuestionText);
  return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

DiscErase::DiscErase(BurnFrontEnd& ui) : ui_(ui) {}

DiscErase::~DiscErase() { SetEraseDoneEventCallback(nullptr, nullptr); }

void DiscErase::RegisterCallbacks() { SetEraseDoneEventCallback(EraseDoneThunk, this); }

EraseOutcome DiscErase::Run(bool quick) {
  MediumInfo info = PrefilledMediumInfo();
  GetMediumInformation(&info);  // as the Erase button does, the result is not examined
  if (info.State == 0) {
    ui_.ShowMessage(Tr("光盘空白。"));
    return EraseOutcome::Blank;
  }
  if (!ui_.AskYesNo(EraseQuestion(std::string(info.Type, strnlen(info.Type, sizeof info.Type)))))
    return EraseOutcome::Declined;
  if (!quick && !ui_.AskYesNo(kFullEraseQuestion)) quick = true;
  {
    std::lock_guard lock(mutex_);
    waiting_ = true;
    doneText_.clear();
  }
  int rc = Erase(quick ? 1 : 0);
  if (rc != 0) {
    {
      std::lock_guard lock(mutex_);
      waiting_ = false;
    }
    ReportResult(rc, ui_, true);
    return EraseOutcome::Failed;
  }
  std::unique_lock lock(mutex_);
  doneSignal_.wait(lock, [this] { return !waiting_; });
  return doneText_.empty() ? EraseOutcome::Erased : EraseOutcome::Failed;
}

void DiscErase::OnEraseDone(const char* text) {
  std::string error = text ? text : "";
  if (error.empty()) {
    ui_.ShowStatus(Tr("擦除光盘成功完成！"), 0, 1, 1);
  } else {
    ui_.ShowStatus(Tr("擦除光盘出错: ") + error, 0, 2, 3);
    ui_.ShowStatus(Tr("擦除光盘出错！"), 0, 3, 3);
  }
  std::lock_guard lock(mutex_);
  doneText_ = error;
  waiting_ = false;
  doneSignal_.notify_all();
}

std::string DiscErase::DoneText() const {
  std::lock_guard lock(mutex_);
  return doneText_;
}

}  // namespace vantrel
