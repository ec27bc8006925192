// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's own programs for a finished disc folder: the file manager for the folder
// and the DVD player for the disc, both through xdg-open, offered only when the desktop has
// a handler for them.
#pragma once

#include <future>
#include <string>

namespace vantrel {

bool CanOpenFolders();
bool CanPlayVideoTs();

// Both questions, asked on a thread of their own: each runs the desktop's MIME tool, a
// shell script that takes tens of milliseconds, too long for a window's thread.
struct DesktopHandlers {
  bool openFolders = false;
  bool playVideoTs = false;
};
std::shared_future<DesktopHandlers> AskDesktopHandlers();

// Start the handler without waiting; true when it was started.
bool OpenInDesktop(const std::string& folder);
bool PlayVideoTs(const std::string& videoTsFolder);

}  // namespace vantrel
