// SPDX-License-Identifier: GPL-3.0-or-later
// A job's observer for the windows: every call the job makes on its thread is queued to a
// window's thread and made there on `view`, in the order the job made them; the job's
// thread never waits for the window. Progress is folded so that a busy job does not flood
// the event loop. A question waits on the job's side only: the view answers when the user
// has chosen, from its own loop.
#pragma once

#include <wx/event.h>

#include <memory>

#include "jobs/job_observer.h"

namespace vantrel {

class GuiJobObserver : public JobObserver {
 public:
  // `target` is the window whose thread makes the calls; `view` lives as long as it.
  GuiJobObserver(wxEvtHandler& target, JobObserver& view);
  ~GuiJobObserver() override;
  GuiJobObserver(const GuiJobObserver&) = delete;
  GuiJobObserver& operator=(const GuiJobObserver&) = delete;

  void OnLine(const JobLine& line) override;
  void OnProgress(const JobProgress& progress) override;
  void OnQuestion(const JobQuestion& question, AnswerFunction answer) override;
  void OnEnd(const JobResult& result) override;

  // On the window's thread, before the job is waited for: calls still queued are dropped
  // and every question still open gets its last answer (No), so the job is never left
  // waiting for a window that is going.
  void Detach();

 private:
  struct Link;
  std::shared_ptr<Link> link_;
  // Resumes a burst of calls cut short by its time budget.
  void OnIdle(wxIdleEvent& event);
};

}  // namespace vantrel
