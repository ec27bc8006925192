// The conversion job: one video file repaired into a DVD MPEG-2 program stream, the same
// conversion the authoring run applies to titles that are not DVD-compliant.
//
//   ConversionRequest request{"/home/me/clip.avi", "/home/me/clip.avi", /*ntsc=*/false};
//   ConversionJob job(request, status, question);   // progress: status.SetProgress(0..100)
//   JobResult r = job.Run();                        // or Start() / Wait()
//   if (r.succeeded) Show(job.OutputPath());        // "/home/me/clip.mpg": .avi becomes .mpg
// A conversion runs to its end; it cannot be cancelled.
#pragma once

#include <string>

#include "jobs/job.h"

namespace vantrel {

class RunQuestion;
class RunStatus;

struct ConversionRequest {
  std::string source;
  std::string output;
  bool ntsc = false;
};

class ConversionJob {
 public:
  ConversionJob(ConversionRequest request, RunStatus& status, RunQuestion& question);
  ConversionJob(const ConversionJob&) = delete;
  ConversionJob& operator=(const ConversionJob&) = delete;

  bool Start() { return thread_.Start(); }
  JobResult Run() { return thread_.Run(); }
  bool Wait(int timeoutMs) { return thread_.Wait(timeoutMs); }
  bool Done() const { return thread_.Done(); }
  JobResult Result() const { return thread_.Result(); }
  // The path written (or that would have been), once Done().
  const std::string& OutputPath() const { return output_; }

 private:
  JobResult Execute();

  ConversionRequest request_;
  RunStatus& status_;
  RunQuestion& question_;
  std::string output_;
  JobThread thread_{[this] { return Execute(); }};
};

}  // namespace vantrel
