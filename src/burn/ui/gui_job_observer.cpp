// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/gui_job_observer.h"

#include <wx/app.h>

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace vantrel {
namespace {

// The longest the window's thread spends on a job's queued calls at once; the rest waits
// until the loop has handled what else is due (a timer, a repaint, the user's input).
constexpr auto kBudget = std::chrono::milliseconds(20);

}  // namespace

struct GuiJobObserver::Link {
  struct OpenQuestion {
    AnswerFunction answer;
    int last = 0;
  };
  using Call = std::function<void(JobObserver&)>;

  wxEvtHandler& target;
  std::mutex mutex;
  JobObserver* view;  // null once detached
  std::deque<Call> calls;
  bool drainQueued = false;  // a drain is queued or waits for the loop to be idle
  bool resumeWhenIdle = false;
  JobProgress latest;
  bool progressQueued = false;
  std::vector<std::shared_ptr<OpenQuestion>> open;

  Link(wxEvtHandler& t, JobObserver& v) : target(t), view(&v) {}

  // Any thread: queues `call` for the window's thread; it runs only while the link is
  // attached. A queued drain keeps the link alive, so a link dropped before it runs is harmless.
  void Post(const std::shared_ptr<Link>& self, Call call) {
    std::lock_guard lock(mutex);
    if (!view) return;
    calls.push_back(std::move(call));
    if (drainQueued) return;
    drainQueued = true;
    target.CallAfter([self] { self->Drain(); });
  }

  // The window's thread: makes the queued calls in order, for as long as the budget lasts.
  // A call may open a modal box whose loop drains what comes meanwhile.
  void Drain() {
    const auto start = std::chrono::steady_clock::now();
    {
      std::lock_guard lock(mutex);
      drainQueued = false;
    }
    for (;;) {
      Call call;
      JobObserver* v;
      {
        std::lock_guard lock(mutex);
        if (!view) calls.clear();
        if (calls.empty()) return;
        if (std::chrono::steady_clock::now() - start > kBudget) {
          // The rest once the loop is idle; until then nothing queues another drain.
          drainQueued = resumeWhenIdle = true;
          wxWakeUpIdle();
          return;
        }
        call = std::move(calls.front());
        calls.pop_front();
        v = view;
      }
      call(*v);
    }
  }

  bool ResumeIfWaiting() {
    {
      std::lock_guard lock(mutex);
      if (!resumeWhenIdle) return false;
      resumeWhenIdle = false;
    }
    Drain();
    std::lock_guard lock(mutex);
    return resumeWhenIdle;
  }

  void Answer(const std::shared_ptr<OpenQuestion>& question, int index) {
    {
      std::lock_guard lock(mutex);
      std::erase(open, question);
    }
    question->answer(index);
  }
};

GuiJobObserver::GuiJobObserver(wxEvtHandler& target, JobObserver& view)
    : link_(std::make_shared<Link>(target, view)) {
  target.Bind(wxEVT_IDLE, &GuiJobObserver::OnIdle, this);
}

GuiJobObserver::~GuiJobObserver() {
  Detach();
  link_->target.Unbind(wxEVT_IDLE, &GuiJobObserver::OnIdle, this);
}

void GuiJobObserver::OnIdle(wxIdleEvent& event) {
  if (link_->ResumeIfWaiting()) event.RequestMore();
  event.Skip();
}

void GuiJobObserver::OnLine(const JobLine& line) {
  link_->Post(link_, [line](JobObserver& view) { view.OnLine(line); });
}

void GuiJobObserver::OnProgress(const JobProgress& progress) {
  {
    std::lock_guard lock(link_->mutex);
    link_->latest = progress;
    if (link_->progressQueued) return;  // the queued call shows the latest
    link_->progressQueued = true;
  }
  std::shared_ptr<Link> link = link_;
  link_->Post(link_, [link](JobObserver& view) {
    JobProgress latest;
    {
      std::lock_guard lock(link->mutex);
      latest = link->latest;
      link->progressQueued = false;
    }
    view.OnProgress(latest);
  });
}

void GuiJobObserver::OnQuestion(const JobQuestion& question, AnswerFunction answer) {
  auto open = std::make_shared<Link::OpenQuestion>();
  open->answer = std::move(answer);
  open->last = question.answers.empty() ? 0 : int(question.answers.size()) - 1;
  bool attached;
  {
    std::lock_guard lock(link_->mutex);
    attached = link_->view != nullptr;
    if (attached) link_->open.push_back(open);
  }
  if (!attached) {
    open->answer(open->last);
    return;
  }
  std::shared_ptr<Link> link = link_;
  link_->Post(link_, [link, open, question](JobObserver& view) {
    view.OnQuestion(question, [link, open](int index) { link->Answer(open, index); });
  });
}

void GuiJobObserver::OnEnd(const JobResult& result) {
  link_->Post(link_, [result](JobObserver& view) { view.OnEnd(result); });
}

void GuiJobObserver::Detach() {
  std::vector<std::shared_ptr<Link::OpenQuestion>> open;
  {
    std::lock_guard lock(link_->mutex);
    link_->view = nullptr;
    link_->calls.clear();
    open.swap(link_->open);
  }
  for (const auto& question : open) question->answer(question->last);
}

}  // namespace vantrel
