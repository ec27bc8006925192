// SPDX-License-Identifier: GPL-3.0-or-later
// The properties sheet's page "章节": where the title's chapters begin (the fixed marks,
// every N minutes, the user's list of times, or the marks of the source's container) and
// the chapter times that gives for this title.
#pragma once

#include <string>
#include <vector>

#include "base/translation.h"
#include "project/title_record.h"

namespace vantrel::app {

namespace chapter_page_texts {
inline constexpr int kPageId = 140;
inline constexpr const char* kPage = N_("章节");
inline constexpr const char* kDefault = N_("默认 (0, 15, 30, 45, 60 分钟)");
inline constexpr const char* kEvery = N_("每隔");
inline constexpr const char* kMinutes = N_("分钟");
inline constexpr const char* kTimes = N_("指定时间:");
inline constexpr const char* kTimesHint = N_("例如: 0, 5:00, 12:30, 1:05:00");
inline constexpr const char* kSourceMarks = N_("来源的章节标记");
inline constexpr const char* kNoSourceMarks = N_("来源没有章节标记");
inline constexpr const char* kResult = N_("章节时间:");
inline constexpr const char* kCount = N_("%d 个章节");
inline constexpr const char* kBadTime = N_("无法识别的时间: %s");
}  // namespace chapter_page_texts

class ChaptersPageLogic {
 public:
  // `sourceMarks`: the chapter starts of the title's container (ReadSourceChapterMarks).
  ChaptersPageLogic(const TitleRecord& title, std::vector<double> sourceMarks);

  ChapterMode Mode() const { return plan_.mode; }
  int EveryMinutes() const { return plan_.everyMinutes; }
  const std::string& TimesText() const { return timesText_; }
  bool HasSourceMarks() const { return !marks_.empty(); }

  void SetMode(ChapterMode mode);
  void SetEveryMinutes(int minutes);
  // The list as typed; "" when every entry is a time, else the first that is not (the
  // plan keeps the times read before it).
  std::string SetTimesText(const std::string& text);
  const std::string& TimesError() const { return timesError_; }

  // Where the title's chapters begin under the plan as it stands.
  std::vector<double> Times() const;
  std::string CountText() const;
  // "0:00:00, 0:05:00, 0:10:00".
  std::string TimesShown() const;

  void Apply(TitleRecord& title) const;

 private:
  ChapterPlan plan_;
  double titleSeconds_ = 0;
  std::vector<double> marks_;
  std::string timesText_;
  std::string timesError_;
};

// Reads "0, 5:00, 12:30.5, 1:05:00" (seconds, M:SS or H:MM:SS, separated by commas,
// semicolons or spaces); false with the entry that is not a time.
bool ParseChapterTimes(const std::string& text, std::vector<double>* times, std::string* bad);
// 65.5 -> "0:01:05.500"; whole seconds without a fraction.
std::string ChapterTimeText(double seconds);

}  // namespace vantrel::app
