// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/foxburner/worker.h"

#include <signal.h>

#include <future>

namespace vantrel::foxburner {

Worker::Worker() {
  // Terminal signals belong to the program's main thread, and a write into a closed pipe
  // must fail with EPIPE instead of ending the process. libburn's own threads are started
  // from here and inherit this mask.
  sigset_t blocked, old;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  sigaddset(&blocked, SIGPIPE);
  sigaddset(&blocked, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &blocked, &old);
  thread_ = std::thread([this] { Loop(); });
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

Worker::~Worker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

int Worker::Call(std::function<int()> job) {
  if (OnWorkerThread()) return job();
  std::packaged_task<int()> task(std::move(job));
  std::future<int> result = task.get_future();
  Post([&task] { task(); });
  return result.get();
}

void Worker::Post(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void Worker::Loop() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace vantrel::foxburner
