// SPDX-License-Identifier: GPL-3.0-or-later
// The diagnostic hook of the frame grabber: takes a line and the log path and discards
// both (no log file is written). A diagnostic build can route the lines here.
#pragma once

#include <string>

namespace vantrel {

inline constexpr const char* kTraceLogPath = "c:\\taliro_dvd_log.txt";

void TraceHook(const std::string& line, const std::string& logPath);

}  // namespace vantrel
