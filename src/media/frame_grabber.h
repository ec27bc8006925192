// SPDX-License-Identifier: GPL-3.0-or-later
// A frame of a video file at a time position as an 80 x 60, 24-bit BMP file, by three
// independent ways tried in order: the video editing control's export, a one-shot sample
// grabber graph, and the media detector. The grab runs on a worker thread while the
// starting thread keeps pumping its messages.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "media/thumbnail_owner.h"
#include "platform/com/types.h"

namespace vantrel {

// The one file name both the grabber callback writes and the worker reads back, in the
// application folder. (The other platform's reader spelled it "BITMAP00000.BMP" and relied
// on names that ignore case; here both sides use this spelling.)
inline constexpr const char* kGrabberBitmapName = "Bitmap00000";
// Where the sample grabber writes its frame: kGrabberBitmapName + "-PID.bmp" in the
// run-time folder (base/app_folder.h).
std::string GrabberBitmapPath();

struct ThumbnailGrabJob {
  std::string sourcePath;
  std::string bitmapPath;
  double time = 0;  // seconds
  ThumbnailOwner* owner = nullptr;
  // 1 when a frame was obtained, 0 otherwise: this grab's own outcome, which titles
  // loading on several threads at once cannot overwrite for each other.
  unsigned char result = 1;
};

// The outcome of the last grab that ended, whichever thread ran it: set to 1 by the
// starter before the worker starts; the worker leaves 1 when a frame was obtained and 0
// otherwise. With grabs running at once, read the job's own result instead.
extern std::atomic<unsigned char> ThumbnailGrabResult;

// The thread routine; always 0. The outcome is job->result (and ThumbnailGrabResult).
int ThumbnailWorker(ThumbnailGrabJob* job);
// Sets the flags, runs ThumbnailWorker on a thread of its own and pumps the calling
// thread's messages until it ends; returns the job's result.
unsigned char RunThumbnailGrab(ThumbnailGrabJob& job);

// 0 when the frame at `time` was written to kGrabberBitmapName in the application folder,
// -1 otherwise. Trace lines go to standard output.
int SampleGrabberGrab(const std::string& sourcePath, double time);
// The media detector's picture: a 40-byte info header and 24-bit rows.
com::HRESULT GetBitmap(const std::string& sourcePath, double time,
                       std::unique_ptr<char[]>& buffer, long& size);
// True when the target file was written.
bool SampGrab(const std::string& sourcePath, double time, const std::string& targetFile);

}  // namespace vantrel
