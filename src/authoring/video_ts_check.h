// SPDX-License-Identifier: GPL-3.0-or-later
// The older name of the run's six-file check; new code includes authoring/six_file_check.h.
#pragma once

#include "authoring/six_file_check.h"

namespace vantrel {

inline int CountVideoTsFiles(const std::string& videoTsFolder) { return CountSixFileCheckFiles(videoTsFolder); }
inline bool VideoTsComplete(const std::string& videoTsFolder) { return PassesSixFileCheck(videoTsFolder); }

}  // namespace vantrel
