// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tip_of_the_day.h"

#include <sys/stat.h>

#include <cstring>
#include <ctime>

namespace vantrel::app {

TipOfTheDay::TipOfTheDay(AppProfile& profile, std::string tipsPath)
    : profile_(profile), path_(std::move(tipsPath)) {}

TipOfTheDay::~TipOfTheDay() {
  if (file_) std::fclose(file_);
}

bool TipOfTheDay::WantedAtStartUp(const AppProfile& profile) {
  return profile.GetInt(AppProfile::kTipSection, AppProfile::kTipStartUp, 0) == 0;
}

std::string TipOfTheDay::TimeStampText(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return "";
  char buffer[64] = {};
  std::time_t changed = st.st_ctime;
  struct tm local{};
  if (!localtime_r(&changed, &local) || !asctime_r(&local, buffer)) return "";
  std::string text = buffer;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

void TipOfTheDay::Open() {
  using namespace tip_texts;
  startUp_ = profile_.GetInt(AppProfile::kTipSection, AppProfile::kTipStartUp, 0);
  const long filePos = profile_.GetInt(AppProfile::kTipSection, AppProfile::kTipFilePos, 0);
  file_ = std::fopen(path_.c_str(), "r");
  if (!file_) {
    text_ = kNoFile;
    return;
  }
  const std::string stamp = TimeStampText(path_);
  if (stamp != profile_.GetString(AppProfile::kTipSection, AppProfile::kTipTimeStamp, "")) {
    profile_.WriteString(AppProfile::kTipSection, AppProfile::kTipTimeStamp, stamp);
  } else if (std::fseek(file_, filePos, SEEK_SET) != 0) {
    text_ = kReadError;
    return;
  }
  Next();
}

bool TipOfTheDay::ReadTip(std::string& tip) {
  char line[kLineBuffer];
  while (std::fgets(line, sizeof line, file_)) {
    const char first = line[0];
    if (first == '\t' || first == '\n' || first == '\r' || first == ' ' || first == ';') continue;
    tip = line;
    while (!tip.empty() && (tip.back() == '\n' || tip.back() == '\r')) tip.pop_back();
    return true;
  }
  return false;
}

void TipOfTheDay::Next() {
  if (!file_) return;
  std::string tip;
  if (ReadTip(tip)) {
    text_ = tip;
    return;
  }
  // End of the file: once more from its start; a second miss means it holds no tip.
  if (std::fseek(file_, 0, SEEK_SET) != 0 || !ReadTip(tip)) {
    text_ = tip_texts::kReadError;
    return;
  }
  text_ = tip;
}

void TipOfTheDay::Close(bool byCloseButton, bool showAtStartUp) {
  if (closed_) return;
  closed_ = true;
  if (byCloseButton)
    profile_.WriteInt(AppProfile::kTipSection, AppProfile::kTipStartUp, showAtStartUp ? 0 : 1);
  if (file_) {
    profile_.WriteInt(AppProfile::kTipSection, AppProfile::kTipFilePos, int(std::ftell(file_)));
    std::fclose(file_);
    file_ = nullptr;
  }
}

}  // namespace vantrel::app
