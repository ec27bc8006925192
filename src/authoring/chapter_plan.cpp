// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/chapter_plan.h"

#include <algorithm>
#include <cmath>

#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"
#include "base/text_format.h"

namespace vantrel {
namespace {

constexpr double kEndGuardSeconds = 1.0;
constexpr double kDefaultMarks[] = {0, 15 * 60, 30 * 60, 45 * 60, 60 * 60};
// Marks closer than this are one chapter: the authoring tool would put both on one frame.
constexpr double kSameMarkSeconds = 0.001;

std::vector<double> Candidates(const ChapterPlan& plan, double titleSeconds, const std::vector<double>& sourceMarks) {
  switch (plan.mode) {
    case ChapterMode::kDefault:
      return {std::begin(kDefaultMarks), std::end(kDefaultMarks)};
    case ChapterMode::kEveryMinutes: {
      std::vector<double> marks{0};
      const double step = double(plan.everyMinutes) * 60;
      if (!(step > 0)) return marks;  // also NaN
      // Without a known length the list stops where the chapter limit does.
      for (size_t k = 1; k < kMaxChapters; ++k) {
        const double t = step * double(k);
        if (titleSeconds > 0 && t >= titleSeconds) break;
        marks.push_back(t);
      }
      return marks;
    }
    case ChapterMode::kTimes:
      return plan.times;
    case ChapterMode::kSourceMarks:
      return sourceMarks;
  }
  return {};
}

}  // namespace

std::vector<double> ChapterTimes(const ChapterPlan& plan, double titleSeconds, const std::vector<double>& sourceMarks) {
  std::vector<double> marks = Candidates(plan, titleSeconds, sourceMarks);
  std::erase_if(marks, [titleSeconds](double t) {
    return !std::isfinite(t) || t <= 0 || (titleSeconds > 0 && t > titleSeconds - kEndGuardSeconds);
  });
  marks.push_back(0);
  std::sort(marks.begin(), marks.end());
  marks.erase(std::unique(marks.begin(), marks.end(), [](double a, double b) { return b - a < kSameMarkSeconds; }),
              marks.end());
  if (marks.size() > kMaxChapters) marks.resize(kMaxChapters);
  return marks;
}

bool ReadSourceChapterMarks(const std::string& path, std::vector<double>* marks, std::string* error) {
  RouteFfmpegLog();
  marks->clear();
  AVFormatContext* raw = nullptr;
  if (int code = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); code < 0) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    *error = "cannot open " + path + ": " + text;
    return false;
  }
  InputPtr input(raw);
  // Chapter times are relative to the container's start, as the title's pictures are.
  const double origin = input->start_time != AV_NOPTS_VALUE ? double(input->start_time) / AV_TIME_BASE : 0.0;
  for (unsigned i = 0; i < input->nb_chapters; ++i) {
    const AVChapter* chapter = input->chapters[i];
    marks->push_back(std::max(0.0, double(chapter->start) * av_q2d(chapter->time_base) - origin));
  }
  std::sort(marks->begin(), marks->end());
  return true;
}

std::string ChaptersText(const std::vector<double>& times) {
  std::string text;
  for (double t : times) {
    if (!text.empty()) text += ",";
    const long long ms = std::llround(t * 1000);
    if (ms == 0) {
      text += "0";
      continue;
    }
    const long long seconds = ms / 1000;
    text += seconds >= 3600 ? Format("%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60)
                            : Format("%lld:%02lld", seconds / 60, seconds % 60);
    if (ms % 1000) text += Format(".%03lld", ms % 1000);
  }
  return text;
}

}  // namespace vantrel
