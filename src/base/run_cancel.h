// SPDX-License-Identifier: GPL-3.0-or-later
// Cancelling a job: the job installs its flag for the thread (CancelScope) and the long
// waits on that thread (child tools, the encoder graph, the steps of a run) look at
// CancelRequested() and stop. Scopes nest, and any flag of the chain stops the thread: a
// run that works on several threads links each worker's own scope to the job's, so the
// job's cancel reaches every worker and the run can stop its workers by itself too.
// Nothing is installed: never cancelled.
#pragma once

#include <atomic>

namespace vantrel {

class CancelScope {
 public:
  // Within the calling thread's current scope.
  explicit CancelScope(const std::atomic<bool>& flag);
  // Within `outer`, a scope of another thread that outlives this one (null: none).
  CancelScope(const std::atomic<bool>& flag, const CancelScope* outer);
  ~CancelScope();  // the thread's previous scope again
  CancelScope(const CancelScope&) = delete;
  CancelScope& operator=(const CancelScope&) = delete;

  bool Requested() const;

 private:
  const std::atomic<bool>& flag_;
  const CancelScope* outer_;
  const CancelScope* previous_;
};

// True once the calling thread's job was asked to stop.
bool CancelRequested();
// True when the calling thread runs a job that can be cancelled.
bool CancelScopeActive();
// The calling thread's innermost scope; null when none.
const CancelScope* CurrentCancelScope();

}  // namespace vantrel
