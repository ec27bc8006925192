// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/job.h"

#include <chrono>

#include "base/message_pump.h"
#include "jobs/job_observer.h"
#include "platform/com/runtime.h"
#include "platform/window/window.h"

namespace vantrel {

JobThread::JobThread(std::function<JobResult()> body, std::function<void(const JobResult&)> ended)
    : body_(std::move(body)), ended_by_(std::move(ended)) {
  result_ = JobFailed("the job has not run");
}

JobThread::~JobThread() { Join(); }

void JobThread::Join() {
  if (thread_.joinable()) thread_.join();
}

bool JobThread::Start() {
  {
    std::lock_guard lock(mutex_);
    if (started_) return false;
    started_ = running_ = true;
  }
  thread_ = std::thread([this] {
    com::ScopedCoInitialize com;
    window::InstallMessagePump();
    JobResult result = body_();
    SetMessagePump(nullptr);
    Finish(std::move(result));
  });
  return true;
}

JobResult JobThread::Run() {
  {
    std::lock_guard lock(mutex_);
    if (started_) return JobFailed("the job was started before");
    started_ = running_ = true;
  }
  com::ScopedCoInitialize com;
  Finish(body_());
  return Result();
}

void JobThread::Finish(JobResult result) {
  {
    std::lock_guard lock(mutex_);
    result_ = std::move(result);
  }
  // The end is told before a wait sees it: a caller that waited has heard all the job said.
  if (ended_by_) ended_by_(Result());
  std::lock_guard lock(mutex_);
  running_ = false;
  ended_.notify_all();
}

void Job::Ended(const JobResult& result) {
  if (observer_) observer_->OnEnd(result);
}

bool JobThread::Wait(int timeoutMs) {
  std::unique_lock lock(mutex_);
  if (timeoutMs < 0) {
    ended_.wait(lock, [this] { return !running_; });
    return true;
  }
  return ended_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !running_; });
}

bool JobThread::Done() const {
  std::lock_guard lock(mutex_);
  return !running_;
}

JobResult JobThread::Result() const {
  std::lock_guard lock(mutex_);
  return result_;
}

}  // namespace vantrel
