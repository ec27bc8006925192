// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's own programs for a finished disc folder: the file manager for the folder
// and the DVD player for the disc, both through xdg-open, offered only when the desktop has
// a handler for them.
#pragma once

#include <string>

namespace vantrel {

bool CanOpenFolders();
bool CanPlayVideoTs();
// Start the handler without waiting; true when it was started.
bool OpenInDesktop(const std::string& folder);
bool PlayVideoTs(const std::string& videoTsFolder);

}  // namespace vantrel
