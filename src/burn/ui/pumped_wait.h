// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting for a step that may take a while (a library call, a folder walk) without holding
// the event loop: the step runs on a thread of its own while this thread goes on handling
// events, with user input held back from every window until the step is done.
#pragma once

#include <wx/app.h>
#include <wx/utils.h>

#include <chrono>
#include <future>
#include <utility>

namespace vantrel {

template <class Step>
auto PumpedWait(Step&& step) -> decltype(step()) {
  auto result = std::async(std::launch::async, std::forward<Step>(step));
  // Most steps end at once; only a longer one is worth the disabling of the windows.
  if (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
    wxWindowDisabler noInput;
    while (result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
      if (wxTheApp) wxTheApp->Yield(true);
  }
  return result.get();
}

}  // namespace vantrel
