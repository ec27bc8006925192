// SPDX-License-Identifier: GPL-3.0-or-later
// The work of a run as tasks with dependencies, run at once where they do not depend on
// each other, on a pool of cores: a task keeps some cores busy (an encode its encoder's
// threads, a tool chain one) and starts only when they are free, so the machine is not
// oversubscribed (but for the last encode, see kShareCores). The first task that fails stops the others (their waits see
// CancelRequested()) and no new task starts; so does a cancel of the job that runs the
// graph.
//
//   TaskGraph graph(TaskGraph::MachineCores());
//   const int probe = graph.Add("probe", [&](int) { return Probe(); });
//   graph.Add("encode", [&](int cores) { return Encode(cores); }, {probe}, TaskGraph::kShareCores);
//   if (!graph.Run()) Report(graph.FirstFailure());
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vantrel {

class TaskGraph {
 public:
  // The work of a task, given the cores it may keep busy; false when it failed.
  using Work = std::function<bool(int cores)>;
  // A task that uses as many cores as it is given: when it starts it takes its share of
  // the free cores, the free cores divided among the tasks ready to start. The last of
  // them, when it starts alone (no other such task waits or is at work), is given every
  // core of the pool: the cores that short tasks beside it hold come free while it works,
  // and it cannot take them later (an encoder keeps the threads it was opened with), so
  // without them a core would idle until the run's end. It counts only its share against
  // the pool, so that a short task still starts beside it. One that starts beside another
  // such task keeps to its share, as two encoders on more threads than cores only take
  // turns and hold more memory.
  static constexpr int kShareCores = 0;

  explicit TaskGraph(int cores);
  TaskGraph(const TaskGraph&) = delete;
  TaskGraph& operator=(const TaskGraph&) = delete;

  // The machine's cores, at least 1.
  static int MachineCores();

  // A task that runs once every task of `after` has succeeded, on `cores` cores (at most
  // the pool's). Among the tasks ready at once, those with the larger `weight` (its
  // expected time) start first, then those added first. Returns the task's id.
  int Add(std::string name, Work work, std::vector<int> after = {}, int cores = 1, double weight = 0);

  // Changes a waiting task's weight, from a task that learnt what the other will cost.
  void SetWeight(int task, double weight);

  // Runs the tasks; returns when every task started has ended. True when every task ran
  // and succeeded. Call once.
  bool Run();

  // The id of the first task that failed (-1: none; a cancel is no failure), its name,
  // and whether the run stopped because the job was cancelled.
  int FirstFailure() const { return firstFailure_; }
  const std::string& Name(int task) const { return tasks_[task].name; }
  bool Cancelled() const { return cancelled_; }
  // The most cores counted busy at once (for tests and benchmarks), never above the
  // pool's; the last task that shares cores counts its share, not what it is given.
  int PeakCores() const { return peakCores_; }

 private:
  struct Task {
    std::string name;
    Work work;
    std::vector<int> after;
    int cores = 1;
    double weight = 0;
    enum State { kWaiting, kRunning, kSucceeded, kFailed } state = kWaiting;
  };

  bool Ready(const Task& task) const;
  // Whether ready[n] is the last task that shares cores and starts alone: none is to start
  // after it or with it, and none is at work beside it.
  bool LastToShare(const std::vector<int>& ready, std::size_t n) const;

  int cores_;
  std::mutex mutex_;
  std::vector<Task> tasks_;
  std::atomic<bool> stop_{false};
  int firstFailure_ = -1;
  bool cancelled_ = false;
  int peakCores_ = 0;
};

}  // namespace vantrel
