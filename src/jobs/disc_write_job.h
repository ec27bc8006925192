// SPDX-License-Identifier: GPL-3.0-or-later
// The disc-write job: an authored VIDEO_TS folder written to a recorder, as the folder
// burn dialog and `vantrel-author burn` do: the folder check, the recorders of the
// settings, the size question, the write with its progress, the read-back check.
//
//   DiscWriteRequest request;
//   request.folder = "/home/me/vantrel_dvd/DVD";  // a VIDEO_TS folder or one holding it
//   request.device = "E";                         // "" : the first recorder
//   request.settings = Settings();                // work folder (image recorders), burnproof
//   DiscWriteJob job(request, observer);
//   job.Start();  ...  job.Cancel();              // after asking kCancelWriteQuestion
//   job.Wait(-1); job.Result();  job.Digest();    // SHA-256 of what was written
#pragma once

#include <atomic>
#include <string>

#include "jobs/job.h"
#include "base/translation.h"
#include "project/app_settings.h"

namespace vantrel {

class JobObserver;

// The note shown when the folder does not hold the six VIDEO_TS files.
inline constexpr const char* kNotDvdFolder =
    N_("没有选定授权的 DVD 映象文件夹，\r\n请查阅帮助文件了解什么是授权的 DVD 映象。");

struct DiscWriteRequest {
  std::string folder;
  std::string device;
  AppSettings settings;
};

class DiscWriteJob : public Job {
 public:
  DiscWriteJob(DiscWriteRequest request, JobObserver& observer);
  ~DiscWriteJob() override { Join(); }

  void Cancel() { cancel_ = true; }
  // The SHA-256 of the data the read-back check compared with, after a successful write.
  std::string Digest() const;

 private:
  JobResult Execute() override;

  DiscWriteRequest request_;
  std::atomic<bool> cancel_{false};
};

}  // namespace vantrel
