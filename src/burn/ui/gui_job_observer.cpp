// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/gui_job_observer.h"

#include <functional>
#include <mutex>
#include <vector>

namespace vantrel {

struct GuiJobObserver::Link {
  struct OpenQuestion {
    AnswerFunction answer;
    int last = 0;
  };

  wxEvtHandler& target;
  std::mutex mutex;
  JobObserver* view;  // null once detached
  JobProgress latest;
  bool progressQueued = false;
  std::vector<std::shared_ptr<OpenQuestion>> open;

  Link(wxEvtHandler& t, JobObserver& v) : target(t), view(&v) {}

  // Queues `call` to the window's thread; it runs only while the link is attached. The
  // queued call keeps the link alive, so a link dropped before it runs is harmless.
  void Post(const std::shared_ptr<Link>& self, std::function<void(JobObserver&)> call) {
    std::lock_guard lock(mutex);
    if (!view) return;
    target.CallAfter([self, call = std::move(call)] {
      JobObserver* v;
      {
        std::lock_guard lock(self->mutex);
        v = self->view;
      }
      if (v) call(*v);
    });
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
    : link_(std::make_shared<Link>(target, view)) {}

GuiJobObserver::~GuiJobObserver() { Detach(); }

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
    open.swap(link_->open);
  }
  for (const auto& question : open) question->answer(question->last);
}

}  // namespace vantrel
