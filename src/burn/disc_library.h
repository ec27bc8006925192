// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the disc-writing library for a dialog or a command, and its one error convention.
#pragma once

#include <string>

#include "burn/burn_front_end.h"
#include "platform/foxburner/foxburner.h"

namespace vantrel {

// The image files offered as recorders: vantrel.iso in the work folder, then the
// "imagefiles" setting of the "dvd" section and VANTREL_IMAGE_DRIVES, each a ";" list.
std::string ImageRecorderList(const std::string& workFolder, const std::string& settingsIni);

// Initialize with the image recorders, then SetASPI(1). A failed Initialize is shown with
// `failureSentence` after "错误: %s" and otherwise ignored, as the dialogs do.
void OpenDiscLibrary(BurnFrontEnd& ui, const std::string& imageRecorders,
                     const std::string& failureSentence);
void CloseDiscLibrary();

// The library's text for a result code.
std::string LibraryText(int code);
// True for 0; otherwise shows "错误: %s" with the library's text, also as a status line
// (mode 1, kind 1) when `logToo`, and returns false.
bool ReportResult(int code, BurnFrontEnd& ui, bool logToo);

// Records filled with the library's "not defined" values before the calls that fill them.
MediumInfo PrefilledMediumInfo();
BurnOptions PrefilledBurnOptions();
// The record of a VIDEO_TS folder for AddDir; false when the path does not fit the record.
bool VideoTsDirRecord(const std::string& source, DirRecord& record);

}  // namespace vantrel
