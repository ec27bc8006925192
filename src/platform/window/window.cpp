// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window/window.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vantrel::window {
namespace {

using Clock = std::chrono::steady_clock;

struct SentMessage {
  MSG msg;
  LRESULT result = 0;
  bool done = false;
};

struct Timer {
  HWND hwnd;
  std::uintptr_t id;
  std::chrono::milliseconds interval;
  Clock::time_point due;
};

// One per thread that ever touched a window; shared with the windows it owns so posts
// from other threads stay valid after the thread's last window is gone.
struct ThreadQueue {
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  std::vector<Timer> timers;
};

struct WindowInfo {
  std::shared_ptr<ThreadQueue> queue;
  WindowProc proc;
};

// One lock for every queue: messages are few and short, and it keeps the cross-thread
// rules (send waits, destroy drops pending messages) simple to see.
std::mutex gLock;
std::condition_variable gChanged;
std::map<HWND, WindowInfo> gWindows;
HWND gNextHandle = 0x100;

std::shared_ptr<ThreadQueue>& CurrentQueue() {
  thread_local std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
  return queue;
}

WindowProc ProcOf(HWND hwnd) {
  std::lock_guard lock(gLock);
  auto it = gWindows.find(hwnd);
  return it == gWindows.end() ? WindowProc{} : it->second.proc;
}

// Runs the messages other threads sent to this thread's windows. Called with gLock held;
// releases it around each procedure.
void DispatchSentLocked(std::unique_lock<std::mutex>& lock, ThreadQueue& queue) {
  while (!queue.sent.empty()) {
    auto sent = queue.sent.front();
    queue.sent.pop_front();
    auto it = gWindows.find(sent->msg.hwnd);
    WindowProc proc = it == gWindows.end() ? WindowProc{} : it->second.proc;
    lock.unlock();
    LRESULT result = proc ? proc(sent->msg.hwnd, sent->msg.message, sent->msg.wParam,
                                 sent->msg.lParam)
                          : 0;
    lock.lock();
    sent->result = result;
    sent->done = true;
    gChanged.notify_all();
  }
}

bool TakeDueTimerLocked(ThreadQueue& queue, MSG& msg, bool remove) {
  auto now = Clock::now();
  for (auto& timer : queue.timers) {
    if (timer.due > now) continue;
    msg = MSG{timer.hwnd, WM_TIMER, timer.id, 0};
    if (remove) timer.due = now + timer.interval;
    return true;
  }
  return false;
}

}  // namespace

HWND CreateNotifyWindow(WindowProc proc) {
  std::lock_guard lock(gLock);
  HWND hwnd = gNextHandle++;
  gWindows[hwnd] = WindowInfo{CurrentQueue(), std::move(proc)};
  return hwnd;
}

bool DestroyWindow(HWND hwnd) {
  WindowProc proc;
  {
    std::lock_guard lock(gLock);
    auto it = gWindows.find(hwnd);
    if (it == gWindows.end() || it->second.queue != CurrentQueue()) return false;
    proc = it->second.proc;
  }
  if (proc) proc(hwnd, WM_DESTROY, 0, 0);
  std::lock_guard lock(gLock);
  auto it = gWindows.find(hwnd);
  if (it == gWindows.end()) return true;
  ThreadQueue& queue = *it->second.queue;
  std::erase_if(queue.posted, [&](const MSG& m) { return m.hwnd == hwnd; });
  std::erase_if(queue.timers, [&](const Timer& t) { return t.hwnd == hwnd; });
  // A sender waiting on a destroyed window gets 0 rather than waiting for ever.
  for (auto& sent : queue.sent)
    if (sent->msg.hwnd == hwnd) sent->done = true;
  std::erase_if(queue.sent, [&](const auto& s) { return s->msg.hwnd == hwnd; });
  gWindows.erase(it);
  gChanged.notify_all();
  return true;
}

bool IsWindow(HWND hwnd) {
  std::lock_guard lock(gLock);
  return gWindows.count(hwnd) != 0;
}

bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(gLock);
  auto it = gWindows.find(hwnd);
  if (it == gWindows.end()) return false;
  it->second.queue->posted.push_back(MSG{hwnd, message, wParam, lParam});
  gChanged.notify_all();
  return true;
}

void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(gLock);
  CurrentQueue()->posted.push_back(MSG{0, message, wParam, lParam});
  gChanged.notify_all();
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::unique_lock lock(gLock);
  auto it = gWindows.find(hwnd);
  if (it == gWindows.end()) return 0;
  auto& own = CurrentQueue();
  if (it->second.queue == own) {
    WindowProc proc = it->second.proc;
    lock.unlock();
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
  }
  auto sent = std::make_shared<SentMessage>();
  sent->msg = MSG{hwnd, message, wParam, lParam};
  it->second.queue->sent.push_back(sent);
  gChanged.notify_all();
  while (!sent->done) {
    DispatchSentLocked(lock, *own);
    if (!sent->done) gChanged.wait(lock);
  }
  return sent->result;
}

bool PeekMessage(MSG& msg, UINT removeFlag) {
  std::unique_lock lock(gLock);
  ThreadQueue& queue = *CurrentQueue();
  DispatchSentLocked(lock, queue);
  if (!queue.posted.empty()) {
    msg = queue.posted.front();
    if (removeFlag & PM_REMOVE) queue.posted.pop_front();
    return true;
  }
  return TakeDueTimerLocked(queue, msg, removeFlag & PM_REMOVE);
}

bool WaitMessage(int timeoutMs) {
  std::unique_lock lock(gLock);
  ThreadQueue& queue = *CurrentQueue();
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    DispatchSentLocked(lock, queue);
    if (!queue.posted.empty()) return true;
    auto wakeAt = timeoutMs < 0 ? Clock::time_point::max() : deadline;
    for (const auto& timer : queue.timers) wakeAt = std::min(wakeAt, timer.due);
    if (wakeAt <= Clock::now()) {
      MSG ignored;
      if (TakeDueTimerLocked(queue, ignored, false)) return true;
      if (timeoutMs >= 0 && Clock::now() >= deadline) return false;
    }
    if (wakeAt == Clock::time_point::max())
      gChanged.wait(lock);
    else
      gChanged.wait_until(lock, wakeAt);
  }
}

void TranslateMessage(const MSG&) {}  // there is no keyboard input to translate here

LRESULT DispatchMessage(const MSG& msg) {
  if (msg.hwnd == 0) return 0;
  WindowProc proc = ProcOf(msg.hwnd);
  return proc ? proc(msg.hwnd, msg.message, msg.wParam, msg.lParam) : 0;
}

void PumpPendingMessages() {
  MSG msg;
  while (PeekMessage(msg, PM_REMOVE)) {
    TranslateMessage(msg);
    DispatchMessage(msg);
  }
}

bool SetTimer(HWND hwnd, std::uintptr_t id, unsigned intervalMs) {
  std::lock_guard lock(gLock);
  auto it = gWindows.find(hwnd);
  if (it == gWindows.end()) return false;
  auto& timers = it->second.queue->timers;
  std::erase_if(timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  auto interval = std::chrono::milliseconds(intervalMs);
  timers.push_back(Timer{hwnd, id, interval, Clock::now() + interval});
  gChanged.notify_all();
  return true;
}

bool KillTimer(HWND hwnd, std::uintptr_t id) {
  std::lock_guard lock(gLock);
  auto it = gWindows.find(hwnd);
  if (it == gWindows.end()) return false;
  auto& timers = it->second.queue->timers;
  return std::erase_if(timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }) > 0;
}

}  // namespace vantrel::window
