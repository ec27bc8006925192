// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/progress_monitor.h"

#include <chrono>

#include "authoring/run_status.h"
#include "base/paths.h"
#include "base/translation.h"

namespace vantrel {

void AutoResetEvent::Signal() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = true;
  }
  changed_.notify_all();
}

void AutoResetEvent::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  signalled_ = false;
}

bool AutoResetEvent::WaitFor(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return signalled_; }))
    return false;
  signalled_ = false;
  return true;
}

ProgressMonitor::ProgressMonitor(RunStatus& status, std::string videoTsFolder,
                                 std::int64_t expectedMb, AutoResetEvent& stop)
    : status_(status), videoTsFolder_(std::move(videoTsFolder)), expectedMb_(expectedMb),
      stop_(stop), thread_([this] { Run(); }) {}

ProgressMonitor::~ProgressMonitor() {
  if (thread_.joinable()) {
    stop_.Signal();
    thread_.join();
  }
}

bool ProgressMonitor::Join() {
  if (!thread_.joinable()) return false;
  thread_.join();
  return true;
}

void ProgressMonitor::Run() {
  status_.ShowStatus(Tr(kText), 0, kStatusProgress, kStatusGreen);
  while (!stop_.WaitFor(kIntervalMs)) {
    if (expectedMb_ < 0) continue;
    double mb = double(FolderSize(videoTsFolder_)) / 1048576.0;
    // An expected size of 0 (tiny titles) would divide by zero: count it as done.
    int percent = expectedMb_ > 0 ? int(mb / double(expectedMb_) * 100.0) : 100;
    if (percent > 100) percent = 100;  // menus and IFOs add to the titles
    status_.ShowStatus(Tr(kText), percent, kStatusProgress, kStatusGreen);
  }
}

}  // namespace vantrel
