// SPDX-License-Identifier: GPL-3.0-or-later
// The program's diagnostics: library code hands every note, warning and error to one sink
// that the front end installs (the command line prints warnings and errors on standard
// error, more with -v; the desktop program keeps them for its log window). Without a sink
// nothing is written anywhere.
//
//   SetLogSink([](LogLevel level, const std::string& text) { ... });  // once, at start-up
//   LogError("the conversion failed: " + why);
#pragma once

#include <functional>
#include <string>

namespace vantrel {

enum class LogLevel { kDebug = 0, kInfo = 1, kWarning = 2, kError = 3 };

using LogSink = std::function<void(LogLevel level, const std::string& text)>;

// Installs the sink (an empty one drops everything). The sink may be called from any
// thread and must be thread-safe; calls are not serialised here.
void SetLogSink(LogSink sink);
void Log(LogLevel level, const std::string& text);
inline void LogDebug(const std::string& text) { Log(LogLevel::kDebug, text); }
inline void LogInfo(const std::string& text) { Log(LogLevel::kInfo, text); }
inline void LogWarning(const std::string& text) { Log(LogLevel::kWarning, text); }
inline void LogError(const std::string& text) { Log(LogLevel::kError, text); }

const char* LogLevelName(LogLevel level);

}  // namespace vantrel
