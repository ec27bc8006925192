// Replacing a file the program owns so that a crash leaves either the old or the new file whole.
#pragma once

#include <string>

namespace vantrel {

// Writes `content` to a temporary file beside `path`, flushes it to disk and renames it
// over `path`. The old file's permissions are kept. False (and `path` untouched) on failure.
bool WriteFileAtomically(const std::string& path, const std::string& content);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace vantrel
