// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/task_graph.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "authoring/run_timeline.h"
#include "base/run_cancel.h"
#include "base/text_format.h"

namespace vantrel {

TaskGraph::TaskGraph(int cores) : cores_(std::max(1, cores)) {}

int TaskGraph::MachineCores() { return int(std::max(1u, std::thread::hardware_concurrency())); }

int TaskGraph::Add(std::string name, Work work, std::vector<int> after, int cores, double weight) {
  Task task;
  task.name = std::move(name);
  task.work = std::move(work);
  task.after = std::move(after);
  task.cores = cores == kShareCores ? kShareCores : std::clamp(cores, 1, cores_);
  task.weight = weight;
  tasks_.push_back(std::move(task));
  return int(tasks_.size()) - 1;
}

void TaskGraph::SetWeight(int task, double weight) {
  std::lock_guard lock(mutex_);
  tasks_.at(std::size_t(task)).weight = weight;
}

bool TaskGraph::Ready(const Task& task) const {
  if (task.state != Task::kWaiting) return false;
  for (int before : task.after)
    if (tasks_[before].state != Task::kSucceeded) return false;
  return true;
}

bool TaskGraph::LastToShare(const std::vector<int>& ready, std::size_t n) const {
  // Alone: the one sharing task that starts in this pass, none waiting after it and none at
  // work beside it. Beside another encoder it keeps to its share: two encoders on more
  // threads than cores only take turns, and an encoder on several threads holds more memory
  // than on one (the MPEG-2 encoder on several slice threads fills a worst-case output
  // buffer of about 5 MB, where on one it grows its buffer as the pictures need).
  int startingNow = 0;
  for (std::size_t k = n; k < ready.size(); ++k)
    if (tasks_[ready[k]].cores == kShareCores) ++startingNow;
  int waiting = 0;
  for (const Task& task : tasks_) {
    if (task.cores != kShareCores) continue;
    if (task.state == Task::kRunning) return false;
    if (task.state == Task::kWaiting) ++waiting;
  }
  return startingNow == 1 && waiting == 1;
}

bool TaskGraph::Run() {
  // The job's cancel reaches the workers through this thread's scope, which outlives them.
  const CancelScope* job = CurrentCancelScope();
  std::mutex& mutex = mutex_;
  std::condition_variable ended;
  std::vector<std::thread> workers;
  int busy = 0, running = 0;

  std::unique_lock lock(mutex);
  for (;;) {
    if (!stop_ && job && job->Requested()) {
      cancelled_ = true;
      stop_ = true;
    }
    if (!stop_) {
      // The ready tasks, longest first; each starts when its cores are free.
      std::vector<int> ready;
      for (int i = 0; i < int(tasks_.size()); ++i)
        if (Ready(tasks_[i])) ready.push_back(i);
      std::stable_sort(ready.begin(), ready.end(),
                       [&](int a, int b) { return tasks_[a].weight > tasks_[b].weight; });
      for (std::size_t n = 0; n < ready.size(); ++n) {
        Task& task = tasks_[ready[n]];
        const int waiting = int(ready.size() - n);
        const int free = cores_ - busy;
        const int share = task.cores == kShareCores ? std::max(1, free / waiting) : task.cores;
        if (free <= 0 || (share > free && busy > 0)) break;
        // The last task that shares cores, alone, is given them all but counts only its
        // share: a short task behind it (the menus after their pictures) still starts
        // beside it.
        const int cores = task.cores == kShareCores && LastToShare(ready, n) ? cores_ : share;
        task.state = Task::kRunning;
        busy += share;
        ++running;
        peakCores_ = std::max(peakCores_, busy);
        const int id = ready[n];
        workers.emplace_back([&, id, cores, share] {
          bool ok = false;
          TimelineMark(Format("%s start %d cores", tasks_[id].name.c_str(), cores));
          {
            CancelScope scope(stop_, job);
            ok = tasks_[id].work(cores);
          }
          TimelineMark(tasks_[id].name + (ok ? " end" : " failed"));
          std::lock_guard done(mutex);
          Task& t = tasks_[id];
          t.state = ok ? Task::kSucceeded : Task::kFailed;
          if (!ok && !stop_) {
            // A task stopped by the job's cancel has not failed.
            if (job && job->Requested()) cancelled_ = true;
            else firstFailure_ = id;
            stop_ = true;
          }
          busy -= share;
          --running;
          ended.notify_all();
        });
      }
    }
    if (running == 0) {
      bool left = false;
      for (const Task& task : tasks_) left = left || Ready(task);
      if (stop_ || !left) break;
      continue;
    }
    // Woken by an ending task; a cancel of the job is looked at a few times a second.
    ended.wait_for(lock, std::chrono::milliseconds(100));
  }
  lock.unlock();
  for (std::thread& worker : workers) worker.join();
  if (stop_) return false;
  for (const Task& task : tasks_)
    if (task.state != Task::kSucceeded) return false;
  return true;
}

}  // namespace vantrel
