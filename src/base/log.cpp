// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/log.h"

#include <memory>
#include <mutex>

namespace vantrel {
namespace {

std::mutex gSinkMutex;
std::shared_ptr<const LogSink> gSink;

}  // namespace

void SetLogSink(LogSink sink) {
  auto next = sink ? std::make_shared<const LogSink>(std::move(sink)) : nullptr;
  std::lock_guard lock(gSinkMutex);
  gSink = std::move(next);
}

void Log(LogLevel level, const std::string& text) {
  std::shared_ptr<const LogSink> sink;
  {
    std::lock_guard lock(gSinkMutex);
    sink = gSink;
  }
  if (sink) (*sink)(level, text);
}

const char* LogLevelName(LogLevel level) {
  switch (level) {
    case LogLevel::kDebug: return "debug";
    case LogLevel::kInfo: return "info";
    case LogLevel::kWarning: return "warning";
    case LogLevel::kError: return "error";
  }
  return "";
}

}  // namespace vantrel
