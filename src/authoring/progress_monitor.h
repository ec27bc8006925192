// SPDX-License-Identifier: GPL-3.0-or-later
// Reports the growth of the VIDEO_TS folder while the authoring tool runs: one status at
// start, then one every 3 s until stopped, as a percentage of the expected size.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include "base/translation.h"

namespace vantrel {

class RunStatus;

// An event with automatic reset: a Wait that sees it signalled clears it.
class AutoResetEvent {
 public:
  void Signal();
  void Reset();
  // True when signalled within the timeout.
  bool WaitFor(int milliseconds);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
};

class ProgressMonitor {
 public:
  static constexpr int kIntervalMs = 3000;
  static constexpr const char* kText = N_("创建 DVD 结构...");

  ProgressMonitor(RunStatus& status, std::string videoTsFolder, std::int64_t expectedMb,
                  AutoResetEvent& stop);
  ~ProgressMonitor();
  ProgressMonitor(const ProgressMonitor&) = delete;
  ProgressMonitor& operator=(const ProgressMonitor&) = delete;

  // Waits for the thread to end (after the stop event was signalled); false if it cannot.
  bool Join();

 private:
  void Run();

  RunStatus& status_;
  std::string videoTsFolder_;
  std::int64_t expectedMb_;
  AutoResetEvent& stop_;
  std::thread thread_;
};

}  // namespace vantrel
