// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a path names a file the program may read as a whole: a regular file (through
// links) that can be opened. Pipes, devices, sockets and folders are refused at once, since
// reading them blocks for ever (a FIFO without a writer) or never ends (/dev/zero).
#pragma once

#include <string>

namespace vantrel {

// "" when `path` is a regular file that can be opened for reading; otherwise the reason,
// in the user's words (the system's text for a file that cannot be opened).
std::string UnreadableFileReason(const std::string& path);

}  // namespace vantrel
