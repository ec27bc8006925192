// SPDX-License-Identifier: GPL-3.0-or-later
// The event log of a run whose steps work at once, in the order the steps were listed: each
// step reports to a channel of its own; the first unfinished channel's lines and progress
// go to the front end as they come, every later channel's lines wait until the channels
// before it have finished. The user reads each title's lines together, as a run on one
// core shows them, while the titles are encoded at once.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "authoring/run_status.h"

namespace vantrel {

class OrderedStatus {
 public:
  OrderedStatus(RunStatus& out, int channels);
  ~OrderedStatus();  // shows what is still held back, in order
  OrderedStatus(const OrderedStatus&) = delete;
  OrderedStatus& operator=(const OrderedStatus&) = delete;

  // The display of channel `index`, valid while this object lives.
  RunStatus& Channel(int index);
  // Channel `index` has ended: the channels after it move up.
  void Finish(int index);

 private:
  class Lane;
  struct Line {
    std::string text;
    int position, mode, kind;
  };
  void Show(int index, const std::string& text, int position, int mode, int kind);
  void Progress(int index, int position);
  void Range(int index, int low, int high);
  void FlushFront();  // with mutex_ held

  RunStatus& out_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Lane>> lanes_;
  std::vector<std::vector<Line>> held_;
  std::vector<bool> finished_;
  std::size_t front_ = 0;
};

}  // namespace vantrel
