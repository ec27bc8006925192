// SPDX-License-Identifier: GPL-3.0-or-later
// The erase job: the rewritable medium of a recorder erased as the erase dialog does (a
// blank medium is only reported; the user confirms, and is asked again before a full erase).
//
//   EraseRequest request;
//   request.device = "E";            // "" : the first recorder
//   request.quick = false;           // full erase (asks kFullEraseQuestion first)
//   request.settings = Settings();   // work folder: the image recorders
//   EraseJob job(request, observer);
//   JobResult r = job.Run();         // or Start() / Wait(); an erase cannot be cancelled
//   if (r.succeeded) Show(job.Note());
#pragma once

#include <string>

#include "jobs/job.h"
#include "project/app_settings.h"

namespace vantrel {

class JobObserver;

struct EraseRequest {
  std::string device;
  bool quick = true;
  AppSettings settings;
};

class EraseJob : public Job {
 public:
  EraseJob(EraseRequest request, JobObserver& observer);
  ~EraseJob() override { Join(); }

  // True when the medium was blank and nothing was erased.
  bool WasBlank() const { return blank_; }
  // The library's note on what the erase did ("" when none).
  std::string Note() const { return note_; }

 private:
  JobResult Execute() override;

  EraseRequest request_;
  bool blank_ = false;    // written by the job before it ends
  std::string note_;
};

}  // namespace vantrel
