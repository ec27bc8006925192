// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting for a step that may take a while (a library call, a folder walk) without holding
// the event loop: the step runs on a thread of its own while this thread goes on handling
// events, with user input held back until the step is done.
#pragma once

#include <wx/event.h>
#include <wx/evtloop.h>

#include <chrono>
#include <future>
#include <utility>

namespace vantrel {

template <class Step>
auto PumpedWait(Step&& step) -> decltype(step()) {
  auto result = std::async(std::launch::async, std::forward<Step>(step));
  // Input is held back by leaving it queued, not by disabling the windows: the toolkit
  // drops a modal dialog's input grab for good when the dialog is disabled, and the
  // windows behind it would take clicks from then on.
  while (result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
      loop->YieldFor(wxEVT_CATEGORY_ALL & ~wxEVT_CATEGORY_USER_INPUT);
  }
  return result.get();
}

}  // namespace vantrel
