// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a link (home page, support mail, help page) with the desktop's opener, falling
// back to the program the desktop registers for HTML pages, and the failure texts that the
// link labels show. Results follow the shell's convention: above 32 is success.
#pragma once

#include <string>

namespace vantrel::app {

inline constexpr int kLinkOpened = 42;

// Step 1: the desktop's opener (xdg-open). Step 2, when it is missing or fails: the Exec
// line of the handler registered for text/html, cut before its file placeholder, with the
// link appended as one quoted word.
int OpenLink(const std::string& link);

// The handler's command line for a link: `exec` is the Exec value of its desktop entry.
// The text is cut at the first placeholder enclosed in double quotes (before the opening
// quote), or else at the first placeholder; the link follows one blank, shell-quoted.
std::string HandlerCommandLine(const std::string& exec, const std::string& link);

// The Exec value of the desktop entry registered for text/html; false with the result code
// of the failure (31: no handler registered, 2: its entry cannot be found, 27: no Exec line).
bool HtmlHandlerExec(std::string& exec, int& failureCode);

// "无法打开超级链接:\n\n" followed by the reason for the code.
std::string LinkFailureText(int code);
// The reason alone.
std::string LinkFailureReason(int code);

// A single-quoted shell word holding `text` exactly.
std::string ShellQuoted(const std::string& text);

}  // namespace vantrel::app
