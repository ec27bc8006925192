// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ffmpeg_log.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace vantrel {
namespace {

using Lines = std::vector<std::pair<LogLevel, std::string>>;

TEST(FfmpegLog, MessagesReachTheSinkAsWholeLinesAndNothingReachesStandardError) {
  RouteFfmpegLog();
  const int levelBefore = av_log_get_level();
  av_log_set_level(AV_LOG_WARNING);
  std::mutex mutex;
  Lines lines;
  SetLogSink([&](LogLevel level, const std::string& text) {
    std::lock_guard lock(mutex);
    lines.emplace_back(level, text);
  });
  const std::string longLine(3000, 'x');
  testing::internal::CaptureStderr();
  av_log(nullptr, AV_LOG_ERROR, "cannot open %s: %d\n", "a b.mpg", 5);
  av_log(nullptr, AV_LOG_WARNING, "first half, ");
  av_log(nullptr, AV_LOG_WARNING, "second half\n");
  av_log(nullptr, AV_LOG_INFO, "below the level\n");
  av_log(nullptr, AV_LOG_FATAL, "%s\n", longLine.c_str());
  av_log(nullptr, AV_LOG_WARNING, "two\nlines\n");
  const std::string written = testing::internal::GetCapturedStderr();
  SetLogSink(nullptr);
  av_log_set_level(levelBefore);

  EXPECT_EQ(written, "");
  // Decoder errors (one per damaged picture) are notes; a terminal shows them with -v only.
  const Lines expected{{LogLevel::kInfo, "cannot open a b.mpg: 5"},
                       {LogLevel::kInfo, "first half, second half"},
                       {LogLevel::kWarning, longLine},
                       {LogLevel::kInfo, "two"},
                       {LogLevel::kInfo, "lines"}};
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace vantrel
