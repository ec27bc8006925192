// SPDX-License-Identifier: GPL-3.0-or-later
// What the disc-writing sequences need from whichever front end is open: the status line
// and event log, the progress bar, notes and Yes/No questions. They are the run's own
// status and question interfaces, so one front end serves the authoring run and the
// write that follows it. The burn dialog answers with its controls and message boxes,
// vantrel-author with lines on the terminal and its flags.
#pragma once

#include <cstdint>
#include <functional>

#include "authoring/run_status.h"

namespace vantrel {

class BurnFrontEnd : public RunStatus, public RunQuestion {
 public:
  // Runs a step of a sequence that may take a while (a library call, a folder walk) and
  // returns its result. A front end with an event loop runs it elsewhere and keeps the loop
  // going meanwhile; the steps still follow each other in order.
  virtual std::int64_t Aside(const std::function<std::int64_t()>& step) { return step(); }
};

}  // namespace vantrel
