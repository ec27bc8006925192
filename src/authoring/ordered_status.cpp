// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/ordered_status.h"

#include <algorithm>

namespace vantrel {

class OrderedStatus::Lane : public RunStatus {
 public:
  Lane(OrderedStatus& owner, int index) : owner_(owner), index_(index) {}
  void ShowStatus(const std::string& text, int position, int mode, int kind) override {
    owner_.Show(index_, text, position, mode, kind);
  }
  void SetProgressRange(int low, int high) override { owner_.Range(index_, low, high); }
  void SetProgress(int position) override { owner_.Progress(index_, position); }
  void StartRunTimer() override { owner_.out_.StartRunTimer(); }
  void StopRunTimer() override { owner_.out_.StopRunTimer(); }

 private:
  OrderedStatus& owner_;
  int index_;
};

OrderedStatus::OrderedStatus(RunStatus& out, int channels)
    : out_(out), held_(std::size_t(std::max(channels, 0))), finished_(held_.size(), false) {
  for (int i = 0; i < int(held_.size()); ++i) lanes_.push_back(std::make_unique<Lane>(*this, i));
}

OrderedStatus::~OrderedStatus() {
  std::lock_guard lock(mutex_);
  for (; front_ < held_.size(); ++front_)
    for (const Line& line : held_[front_]) out_.ShowStatus(line.text, line.position, line.mode, line.kind);
}

RunStatus& OrderedStatus::Channel(int index) { return *lanes_.at(std::size_t(index)); }

void OrderedStatus::Show(int index, const std::string& text, int position, int mode, int kind) {
  std::lock_guard lock(mutex_);
  if (std::size_t(index) == front_) {
    out_.ShowStatus(text, position, mode, kind);
  } else if (mode != kStatusProgress) {
    // A held line keeps its text; its progress is stale by the time it is shown.
    held_[index].push_back({text, 0, mode, kind});
  }
}

void OrderedStatus::Progress(int index, int position) {
  std::lock_guard lock(mutex_);
  if (std::size_t(index) == front_) out_.SetProgress(position);
}

void OrderedStatus::Range(int index, int low, int high) {
  std::lock_guard lock(mutex_);
  if (std::size_t(index) == front_) out_.SetProgressRange(low, high);
}

void OrderedStatus::Finish(int index) {
  std::lock_guard lock(mutex_);
  finished_.at(std::size_t(index)) = true;
  FlushFront();
}

void OrderedStatus::FlushFront() {
  while (front_ < held_.size()) {
    for (const Line& line : held_[front_]) out_.ShowStatus(line.text, line.position, line.mode, line.kind);
    held_[front_].clear();
    if (!finished_[front_]) return;
    ++front_;
  }
}

}  // namespace vantrel
