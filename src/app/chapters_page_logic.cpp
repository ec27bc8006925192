// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/chapters_page_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "authoring/chapter_plan.h"
#include "base/text_format.h"

namespace vantrel::app {

using namespace chapter_page_texts;

namespace {

// One "H:MM:SS.s", "M:SS" or "S" entry; false for anything else.
bool ParseTime(const std::string& entry, double* seconds) {
  double total = 0;
  size_t parts = 0, at = 0;
  while (at <= entry.size()) {
    const size_t colon = std::min(entry.find(':', at), entry.size());
    const std::string part = entry.substr(at, colon - at);
    if (part.empty() || part.find_first_not_of("0123456789.") != std::string::npos) return false;
    char* end = nullptr;
    const double value = std::strtod(part.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) return false;
    // Only the last part (seconds) may have a fraction; minutes and seconds after a colon
    // stay below 60.
    const bool last = colon == entry.size();
    if ((!last && part.find('.') != std::string::npos) || (parts > 0 && value >= 60)) return false;
    total = total * 60 + value;
    if (++parts > 3) return false;
    at = colon + 1;
  }
  *seconds = total;
  return parts > 0;
}

}  // namespace

bool ParseChapterTimes(const std::string& text, std::vector<double>* times, std::string* bad) {
  times->clear();
  size_t at = 0;
  while (at < text.size()) {
    const size_t start = text.find_first_not_of(",; \t\r\n", at);
    if (start == std::string::npos) break;
    const size_t end = std::min(text.find_first_of(",; \t\r\n", start), text.size());
    const std::string entry = text.substr(start, end - start);
    double seconds = 0;
    if (!ParseTime(entry, &seconds)) {
      *bad = entry;
      return false;
    }
    times->push_back(seconds);
    at = end;
  }
  return true;
}

std::string ChapterTimeText(double seconds) {
  const auto ms = static_cast<long long>(std::llround(seconds * 1000));
  std::string text = Format("%lld:%02lld:%02lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60);
  if (ms % 1000) text += Format(".%03lld", ms % 1000);
  return text;
}

ChaptersPageLogic::ChaptersPageLogic(const TitleRecord& title, std::vector<double> sourceMarks)
    : plan_(title.ChapterMarks), titleSeconds_(title.Duration), marks_(std::move(sourceMarks)) {
  for (double t : plan_.times) timesText_ += (timesText_.empty() ? "" : ", ") + ChapterTimeText(t);
}

void ChaptersPageLogic::SetMode(ChapterMode mode) {
  plan_.mode = mode;
  // Every N minutes needs an N: five unless the user gave one.
  if (mode == ChapterMode::kEveryMinutes && plan_.everyMinutes <= 0) plan_.everyMinutes = 5;
}

void ChaptersPageLogic::SetEveryMinutes(int minutes) { plan_.everyMinutes = std::max(1, minutes); }

std::string ChaptersPageLogic::SetTimesText(const std::string& text) {
  timesText_ = text;
  std::vector<double> times;
  std::string bad;
  timesError_ = ParseChapterTimes(text, &times, &bad) ? "" : Format(Tr(kBadTime), bad.c_str());
  if (timesError_.empty()) plan_.times = std::move(times);
  return timesError_;
}

std::vector<double> ChaptersPageLogic::Times() const { return ChapterTimes(plan_, titleSeconds_, marks_); }

std::string ChaptersPageLogic::CountText() const { return Format(Tr(kCount), int(Times().size())); }

std::string ChaptersPageLogic::TimesShown() const {
  std::string text;
  for (double t : Times()) text += (text.empty() ? "" : ", ") + ChapterTimeText(t);
  return text;
}

void ChaptersPageLogic::Apply(TitleRecord& title) const { title.ChapterMarks = plan_; }

}  // namespace vantrel::app
