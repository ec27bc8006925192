// SPDX-License-Identifier: GPL-3.0-or-later
// Reasons the tools do not always give: the authoring tool reports a full disk as an error
// "Success", so the run looks at the disk itself.
#pragma once

#include <string>

namespace vantrel {

// "No space left on device: FOLDER" (the system's text) when the file system of `folder`
// has less than a megabyte left, else "".
std::string FullDiskNote(const std::string& folder);

// Adds a line to a tool log, so that its last lines carry the reason too.
void AppendToLog(const std::string& log, const std::string& line);

}  // namespace vantrel
