// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes. A front end with a display installs its own handler (a modal dialog that
// returns the button pressed); without one, the box's text is written to standard output and
// the call answers IDOK at once, so a process without a display goes on.
#pragma once

#include <functional>
#include <string>

#include "platform/window/window.h"

namespace vantrel::window {

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;
inline constexpr UINT MB_SETFOREGROUND = 0x10000;
inline constexpr int IDOK = 1;

using MessageBoxHandler = std::function<int(HWND owner, const std::string& text, const std::string& caption,
                                            UINT style)>;

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);
// Returns the handler that was installed before (empty for the standard-output one).
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace vantrel::window
