// SPDX-License-Identifier: GPL-3.0-or-later
// The tip-of-the-day window's logic: which tip comes next from tips.txt, where reading goes
// on at the next start, and whether the window shows at start-up ("Tip" profile section).
#pragma once

#include <cstdio>
#include <string>

#include "project/app_profile.h"
#include "base/translation.h"

namespace vantrel::app {

namespace tip_texts {
inline constexpr int kDialogId = 196;
inline constexpr const char* kTitle = N_("每日提示");
inline constexpr const char* kHeading = N_("您知道吗...");           // string 104
inline constexpr const char* kNoFile = N_("提示文件不存在于指定目录");  // string 105
inline constexpr const char* kReadError = N_("读取提示文件时出错");     // string 106
inline constexpr const char* kShowAtStartUp = N_("启动时显示提示(&S)");  // 1082
inline constexpr const char* kNext = N_("下一提示(&N)");                 // 1083
inline constexpr const char* kClose = N_("关闭(&C)");
}  // namespace tip_texts

class TipOfTheDay {
 public:
  // Lines are read in pieces of at most this many bytes, as a fixed buffer would.
  static constexpr int kLineBuffer = 1000;

  TipOfTheDay(AppProfile& profile, std::string tipsPath);
  ~TipOfTheDay();
  TipOfTheDay(const TipOfTheDay&) = delete;
  TipOfTheDay& operator=(const TipOfTheDay&) = delete;

  // At start-up the window shows when "StartUp" is 0 and no automation flag was given.
  static bool WantedAtStartUp(const AppProfile& profile);
  bool ShowAtStartUpTicked() const { return startUp_ == 0; }

  // Opens tips.txt, resumes at "FilePos" (or the start, when the file's time stamp changed)
  // and reads the first tip.
  void Open();
  // Reads the next tip; wraps to the start at the end of the file. A file without any tip
  // ends the search after one whole pass instead of looping for ever.
  void Next();
  const std::string& Text() const { return text_; }
  bool NextEnabled() const { return file_ != nullptr; }
  // The window closes: with the close button the tick box decides "StartUp"; every way of
  // closing stores the read offset.
  void Close(bool byCloseButton, bool showAtStartUp);

  // The text the platform gives for a file's time stamp (no final line break); empty when
  // the file has none.
  static std::string TimeStampText(const std::string& path);

 private:
  bool ReadTip(std::string& tip);

  AppProfile& profile_;
  std::string path_;
  std::FILE* file_ = nullptr;
  int startUp_ = 0;
  std::string text_;
  bool closed_ = false;
};

}  // namespace vantrel::app
