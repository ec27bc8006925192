// SPDX-License-Identifier: GPL-3.0-or-later
// The run's six-file check, the result check of an authoring run (not the folder burn's
// counting rule, burn/folder_burn_check.h): the VIDEO_TS folder of a one-title-set disc holds
// VIDEO_TS.BUP, VIDEO_TS.IFO, VIDEO_TS.VOB and VTS_01_0.BUP (any case), and files whose
// names begin with VTS_01_0.IFO and VTS_01_1.VOB (exact case).
#pragma once

#include <string>

namespace vantrel {

// Counts the matching files of the folder, stopping once the count passes 5.
int CountSixFileCheckFiles(const std::string& videoTsFolder);
// True when exactly six of the expected files are there.
bool PassesSixFileCheck(const std::string& videoTsFolder);

}  // namespace vantrel
