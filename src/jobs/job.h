// SPDX-License-Identifier: GPL-3.0-or-later
// What every job facade shares: how it ends (JobResult) and the thread it runs on.
//
// Each facade (AuthoringJob, DiscWriteJob, EraseJob) is used the same way:
//   SomeJob job(request..., observer); // the front end's JobObserver (jobs/job_observer.h)
//   job.Start();                  // returns at once; the job runs on a thread of its own,
//                                 // lines, progress and questions arrive on that thread,
//                                 // observer.OnEnd(result) last
//   while (!job.Wait(200)) { ... } // or wait for OnEnd
//   job.Cancel();                 // where the job can be cancelled; harmless elsewhere
//   JobResult r = job.Result();   // readable as often as wanted once Done()
//   if (!r.succeeded) Show(r.reason);
// or, on the calling thread, `JobResult r = job.Run();`. A job is run once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vantrel {

class JobObserver;

struct JobResult {
  bool succeeded = false;
  bool cancelled = false;  // the front end cancelled it (succeeded is false)
  std::string reason;      // why it did not succeed, in the user's words; "" on success
};

inline JobResult JobSucceeded() { return {true, false, ""}; }
inline JobResult JobFailed(std::string reason) { return {false, false, std::move(reason)}; }

// Runs a job's body once, on its own thread (Start) or the caller's (Run). The job's
// thread is initialised for components and pumps its own window messages. Destroying it
// waits for the body to end.
class JobThread {
 public:
  // `ended`, when given, is called on the job's thread once the result is readable, before
  // Wait and Done see the end.
  explicit JobThread(std::function<JobResult()> body, std::function<void(const JobResult&)> ended = {});
  ~JobThread();
  JobThread(const JobThread&) = delete;
  JobThread& operator=(const JobThread&) = delete;

  // False when the job was started before.
  bool Start();
  // Waits for a started job's thread to end.
  void Join();
  JobResult Run();
  // True when the job has ended (or never started) within `timeoutMs` (negative: no limit).
  bool Wait(int timeoutMs);
  bool Done() const;
  JobResult Result() const;

 private:
  void Finish(JobResult result);

  std::function<JobResult()> body_;
  std::function<void(const JobResult&)> ended_by_;
  mutable std::mutex mutex_;
  std::condition_variable ended_;
  bool started_ = false;
  bool running_ = false;
  JobResult result_;
  std::thread thread_;
};

// What the facades share: the run, the wait, the result and the observer told of the end.
// A facade implements Execute and calls Join() in its destructor, so the job's thread ends
// before its members go.
class Job {
 public:
  virtual ~Job() = default;
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  bool Start() { return thread_.Start(); }
  JobResult Run() { return thread_.Run(); }
  bool Wait(int timeoutMs) { return thread_.Wait(timeoutMs); }
  bool Done() const { return thread_.Done(); }
  JobResult Result() const { return thread_.Result(); }

 protected:
  Job() = default;
  explicit Job(JobObserver& observer) : observer_(&observer) {}
  virtual JobResult Execute() = 0;
  void Join() { thread_.Join(); }
  JobObserver* Observer() const { return observer_; }

 private:
  void Ended(const JobResult& result);

  JobObserver* observer_ = nullptr;
  JobThread thread_{[this] { return Execute(); }, [this](const JobResult& result) { Ended(result); }};
};

}  // namespace vantrel
