// SPDX-License-Identifier: GPL-3.0-or-later
// FFmpeg's own messages (av_log) go to the program's log sink instead of standard error.
// Every part of the core that opens FFmpeg calls RouteFfmpegLog() first; the first call in
// the process installs the route, later calls do nothing.
//
//   RouteFfmpegLog();
//   avformat_open_input(...);   // "[mov,mp4 @ 0x...] moov atom not found" reaches the sink
//
// The route sets FFmpeg's level to errors only; a front end that wants more (a verbose
// command line, a developer's log window) calls RouteFfmpegLog() and then raises it with
// av_log_set_level. Messages arrive lower than FFmpeg names them: an FFmpeg error is a note,
// a detail of a failure the program reports with its own reason, and only a fatal one a
// warning.
#pragma once

#include "base/log.h"

namespace vantrel {

void RouteFfmpegLog();

// The sink level of a message FFmpeg logs at `ffmpegLevel` (AV_LOG_*).
LogLevel LogLevelOfFfmpeg(int ffmpegLevel);

}  // namespace vantrel
