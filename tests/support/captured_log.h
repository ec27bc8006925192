// SPDX-License-Identifier: GPL-3.0-or-later
// The program's log collected for a test: every line handed to the sink while the object
// lives, each followed by "\n".
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "base/log.h"

namespace vantrel::test {

class CapturedLog {
 public:
  CapturedLog() {
    SetLogSink([this](LogLevel, const std::string& text) {
      std::lock_guard lock(mutex_);
      text_ += text + "\n";
    });
  }
  ~CapturedLog() { SetLogSink(nullptr); }
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  std::string Text() {
    std::lock_guard lock(mutex_);
    return text_;
  }

 private:
  std::mutex mutex_;
  std::string text_;
};

}  // namespace vantrel::test

namespace vantrel::test {

// The same as a start/take pair, for tests that capture several times in one scope.
inline std::unique_ptr<CapturedLog>& CurrentLogCapture() {
  static std::unique_ptr<CapturedLog> capture;
  return capture;
}
inline void StartLogCapture() {
  CurrentLogCapture().reset();
  CurrentLogCapture() = std::make_unique<CapturedLog>();
}
inline std::string TakeLogCapture() {
  auto& capture = CurrentLogCapture();
  if (!capture) return "";
  std::string text = capture->Text();
  capture.reset();
  return text;
}

}  // namespace vantrel::test
