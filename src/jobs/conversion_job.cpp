// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/conversion_job.h"

#include <sys/stat.h>

#include "authoring/run_progress.h"
#include "base/readable_file.h"
#include "base/run_cancel.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "jobs/job_observer.h"
#include "jobs/observed_front_end.h"

namespace vantrel {

ConversionJob::ConversionJob(ConversionRequest request, JobObserver& observer)
    : Job(observer), request_(std::move(request)), output_(DvdMpegOutputName(request_.output)) {}

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat x {}, y {};
  return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

}  // namespace

JobResult ConversionJob::Execute() {
  JobObserver& observer = *Observer();
  RunProgress progress([&observer](const JobProgress& p) { observer.OnProgress(p); });
  progress.Plan(RunStep::Convert, 1);
  ObservedFrontEnd ui(observer, progress);
  const bool local = request_.source.find("://") == std::string::npos;
  // A pipe or a device would never end the conversion; a missing file fails in it.
  if (local && Exists(request_.source)) {
    if (const std::string why = UnreadableFileReason(request_.source); !why.empty())
      return JobFailed("cannot read " + request_.source + ": " + why);
  }
  const std::string written = DvdMpegOutputName(request_.output);
  if (local && SameFile(request_.source, written))
    return JobFailed(Format(Tr(kOutputIsSourceText), written.c_str()));
  // The user named another file: one that is there under the name written is not replaced
  // without a Yes.
  if (written != request_.output && Exists(written) &&
      !ui.AskYesNo(Format(Tr(kReplaceRenamedOutputQuestion), written.c_str(), request_.output.c_str())))
    return JobFailed(Format(Tr(kRenamedOutputKept), written.c_str()));
  CancelScope cancellable(cancel_);
  std::string output = request_.output;
  std::string why;
  progress.Enter(RunStep::Convert);
  const bool done = ConvertToDvdMpeg(request_.source, output, request_.standard,
                                     [&progress](int percent) { progress.StepDone(percent / 100.0); }, &why);
  output_ = output;
  if (cancel_) return {false, true, "the conversion was cancelled"};
  if (!done) return JobFailed(why.empty() ? "the conversion failed" : why);
  progress.Finish();
  return JobSucceeded();
}

}  // namespace vantrel
