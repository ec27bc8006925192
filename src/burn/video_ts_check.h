// The check that a folder holds a DVD-Video image: the six VIDEO_TS file names.
#pragma once

#include <string>

namespace vantrel {

// Accepts the folder itself when six of its files (not subfolders) contain one of the six
// names, else its VIDEO_TS subfolder by the same test. `accepted` becomes the accepted
// folder, or empty. The process's current folder is left alone.
bool ValidateVideoTsFolder(const std::string& path, std::string& accepted);

}  // namespace vantrel
