// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion job: one video file repaired into a DVD MPEG-2 program stream, the same
// conversion the authoring run applies to titles that are not DVD-compliant.
//
//   ConversionRequest request{"/home/me/clip.avi", "/home/me/clip.avi", TvStandard::Pal};
//   ConversionJob job(request, status, question);   // progress: status.SetProgress(0..100)
//   JobResult r = job.Run();                        // or Start() / Wait()
//   if (r.succeeded) Show(job.OutputPath());        // "/home/me/clip.mpg": .avi becomes .mpg
// Cancel() stops it (the unfinished output is removed).
#pragma once

#include <atomic>
#include <string>

#include "base/tv_standard.h"
#include "jobs/job.h"

namespace vantrel {

class RunQuestion;
class RunStatus;

struct ConversionRequest {
  std::string source;
  std::string output;
  TvStandard standard = TvStandard::Pal;
};

class ConversionJob : public Job {
 public:
  ConversionJob(ConversionRequest request, RunStatus& status, RunQuestion& question);
  ~ConversionJob() override { Join(); }

  // The path written (or that would have been), once Done().
  const std::string& OutputPath() const { return output_; }
  void Cancel() { cancel_ = true; }

 private:
  JobResult Execute() override;

  ConversionRequest request_;
  RunStatus& status_;
  RunQuestion& question_;
  std::string output_;
  std::atomic<bool> cancel_{false};
};

}  // namespace vantrel
