// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ffmpeg_log.h"

#include <cstdarg>
#include <mutex>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace vantrel {
namespace {

// FFmpeg may write a line in several calls; the pieces wait here until the line ends.
struct PendingLine {
  std::string text;
  int printPrefix = 1;  // av_log_format_line2's state: the next piece starts a line
};

void ToLogSink(void* context, int level, const char* format, va_list args) {
  if (level > av_log_get_level()) return;
  thread_local PendingLine pending;
  const int prefixBefore = pending.printPrefix;
  std::vector<char> piece(512);
  va_list copy;
  va_copy(copy, args);
  int length = av_log_format_line2(context, level, format, copy, piece.data(), int(piece.size()),
                                   &pending.printPrefix);
  va_end(copy);
  if (length >= int(piece.size())) {
    piece.resize(std::size_t(length) + 1);
    pending.printPrefix = prefixBefore;
    va_copy(copy, args);
    length = av_log_format_line2(context, level, format, copy, piece.data(), int(piece.size()),
                                 &pending.printPrefix);
    va_end(copy);
  }
  if (length < 0) return;
  pending.text += piece.data();
  for (auto end = pending.text.find('\n'); end != std::string::npos; end = pending.text.find('\n')) {
    std::string line = pending.text.substr(0, end);
    pending.text.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) Log(LogLevelOfFfmpeg(level), line);
  }
}

}  // namespace

LogLevel LogLevelOfFfmpeg(int ffmpegLevel) {
  if (ffmpegLevel <= AV_LOG_FATAL) return LogLevel::kWarning;
  // A damaged clip makes the decoders report every broken picture: details of what the
  // program reports once, in its own words, when it matters.
  if (ffmpegLevel <= AV_LOG_WARNING) return LogLevel::kInfo;
  return LogLevel::kDebug;
}

void RouteFfmpegLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    av_log_set_level(AV_LOG_ERROR);
    av_log_set_callback(&ToLogSink);
  });
}

}  // namespace vantrel
