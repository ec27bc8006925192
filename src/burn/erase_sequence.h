// SPDX-License-Identifier: GPL-3.0-or-later
// Erasing a rewritable medium as the burn dialog's Erase button and the erase dialog do:
// a blank medium is only reported, otherwise the user confirms, the erase runs and its end
// comes through the erase-done callback.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "burn/burn_front_end.h"
#include "base/translation.h"

namespace vantrel {

// The first line names the medium by its type ("CD-RW", "DVD+RW", ...).
inline constexpr const char* kNotBlankText = N_("%s 并非空白，无法处理写入操作，除非是一张空白光盘。");
inline constexpr const char* kEraseQuestionText = N_("您想要擦除光盘吗？");
inline constexpr const char* kFullEraseQuestion =
    N_("整个光盘将被擦除成各个扇区，\n 不使用 QuickErase 将花费 15 分钟或更多。\n\n"
    "            使用整盘擦除吗？");

// "… 并非空白 …" for the medium of `mediumType` (the library's type text, "CD-RW" when it
// tells none), then the erase question.
std::string NotBlankText(const std::string& mediumType);
std::string EraseQuestion(const std::string& mediumType);
// Whether `text` is a question EraseQuestion made (for any medium).
bool IsEraseQuestion(const std::string& text);

enum class EraseOutcome { Blank, Declined, Erased, Failed };

class DiscErase {
 public:
  explicit DiscErase(BurnFrontEnd& ui);
  ~DiscErase();
  DiscErase(const DiscErase&) = delete;
  DiscErase& operator=(const DiscErase&) = delete;

  void RegisterCallbacks();
  // On the selected device. `quick` false asks the full-erase question first; No there
  // keeps the quick erase.
  EraseOutcome Run(bool quick);
  void OnEraseDone(const char* text);
  std::string DoneText() const;

 private:
  BurnFrontEnd& ui_;
  mutable std::mutex mutex_;
  std::condition_variable doneSignal_;
  bool waiting_ = false;
  std::string doneText_;
};

}  // namespace vantrel
