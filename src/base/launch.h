// SPDX-License-Identifier: GPL-3.0-or-later
// Starting a program without waiting for it, hidden (its output discarded), as the
// platform's program launch does. The application folder comes first on its PATH, so the
// bare names of the programs shipped beside this one resolve to them.
#pragma once

#include <string>

namespace vantrel {

// Runs the command line through /bin/sh in the background; true when it was started.
// The child is reaped when it ends; its exit status is not reported.
bool LaunchHidden(const std::string& commandLine);

// `text` as one double-quoted shell word ("..." with ", \, $ and ` escaped), for the
// command lines given to LaunchHidden.
std::string DoubleQuotedShellWord(const std::string& text);

}  // namespace vantrel
