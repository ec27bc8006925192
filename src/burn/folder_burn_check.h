// SPDX-License-Identifier: GPL-3.0-or-later
// The folder burn's counting rule: whether a folder the user chose holds a DVD-Video image
// (six files whose names contain one of the six VIDEO_TS names). Not the run's stricter
// six-file check of its own output, authoring/six_file_check.h.
#pragma once

#include <string>

namespace vantrel {

// Accepts the folder itself when six of its files (not subfolders) contain one of the six
// names, else its VIDEO_TS subfolder by the same test. `accepted` becomes the accepted
// folder, or empty. The process's current folder is left alone.
bool ValidateVideoTsFolder(const std::string& path, std::string& accepted);

}  // namespace vantrel
