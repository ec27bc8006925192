// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a button's handler once the click that asked for it has returned. A handler that
// opens a modal window would otherwise hold the caller of the click until that window
// closes, and an assistive tool that clicks through the accessibility bus waits for it.
#pragma once

#include <wx/event.h>

namespace vantrel {

template <class Window>
auto Deferred(Window* window, void (Window::*handler)(wxCommandEvent&)) {
  return [window, handler](wxCommandEvent& event) {
    window->CallAfter([window, handler, copy = event]() mutable { (window->*handler)(copy); });
  };
}

}  // namespace vantrel
