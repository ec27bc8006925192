// SPDX-License-Identifier: GPL-3.0-or-later
// The facts of a video file as the title list stores them, and the video-stream check on
// the media detector.
#pragma once

#include <string>

#include "platform/videoedit/video_edit.h"
#include "project/title_record.h"

namespace vantrel {

// 1 when the file has a video stream, 0 when it has none, or the detector's failure code
// (negative) when it cannot be opened. The calling thread must have COM initialised.
int HasVideoStream(const std::string& path);

// Fills Duration, FrameRate, FrameRateText and ResolutionText of the record from its
// SourcePath through the control, in the order QueryDuration, QueryFrameRate,
// QueryFrameHeight, QueryFrameWidth; results are stored as they come.
void ProbeTitleFacts(CVideoEdit& control, TitleRecord& record);

}  // namespace vantrel
