// SPDX-License-Identifier: GPL-3.0-or-later
// Cancelling a job that runs on one thread: the job installs its flag for the thread
// (CancelScope) and the long waits on that thread (child tools, the encoder graph, the
// steps of a run) look at CancelRequested() and stop. Nothing is installed: never cancelled.
#pragma once

#include <atomic>

namespace vantrel {

class CancelScope {
 public:
  explicit CancelScope(const std::atomic<bool>& flag);
  ~CancelScope();  // the thread's previous flag again
  CancelScope(const CancelScope&) = delete;
  CancelScope& operator=(const CancelScope&) = delete;

 private:
  const std::atomic<bool>* previous_;
};

// True once the calling thread's job was asked to stop.
bool CancelRequested();
// True when the calling thread runs a job that can be cancelled.
bool CancelScopeActive();

}  // namespace vantrel
