// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/conversion_job.h"

#include "authoring/run_status.h"
#include "base/run_cancel.h"
#include "convert/convert_to_dvd_mpeg.h"

namespace vantrel {

ConversionJob::ConversionJob(ConversionRequest request, RunStatus& status, RunQuestion& question)
    : request_(std::move(request)), status_(status), question_(question),
      output_(DvdMpegOutputName(request_.output)) {}

JobResult ConversionJob::Execute() {
  CancelScope cancellable(cancel_);
  std::string output = request_.output;
  std::string why;
  RunStatus& status = status_;
  const bool done = ConvertToDvdMpeg(request_.source, output, request_.standard,
                                     [&status](int percent) { status.SetProgress(percent); }, &why);
  output_ = output;
  if (cancel_) return {false, true, "the conversion was cancelled"};
  if (!done) return JobFailed(why.empty() ? "the conversion failed" : why);
  status_.SetProgress(100);
  return JobSucceeded();
}

}  // namespace vantrel
