// SPDX-License-Identifier: GPL-3.0-or-later
// The one thread that makes every libburn call. Public calls hand it jobs; a synchronous
// call waits for its job, a write or an erase is one long job whose callbacks run here.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vantrel::foxburner {

class Worker {
 public:
  Worker();
  ~Worker();  // finishes the queued jobs, then joins
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Runs the job on the worker and returns its result.
  int Call(std::function<int()> job);
  // Queues the job and returns at once.
  void Post(std::function<void()> job);
  bool OnWorkerThread() const { return std::this_thread::get_id() == thread_.get_id(); }

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vantrel::foxburner
