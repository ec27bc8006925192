// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/disc_write_job.h"

#include "base/text_format.h"
#include "burn/burn_dialog_state.h"
#include "base/translation.h"
#include "burn/folder_burn_check.h"
#include "jobs/job_observer.h"
#include "jobs/observed_front_end.h"
#include "jobs/recorder_session.h"
#include "platform/foxburner/foxburner_ext.h"

namespace vantrel {

DiscWriteJob::DiscWriteJob(DiscWriteRequest request, JobObserver& observer)
    : Job(observer), request_(std::move(request)) {}

std::string DiscWriteJob::Digest() const {
  char digest[80] = "";
  GetLastWriteDigest(digest, sizeof digest);
  return digest;
}

JobResult DiscWriteJob::Execute() {
  JobObserver& observer = *Observer();
  RunProgress progress([&observer](const JobProgress& p) { observer.OnProgress(p); });
  progress.Plan(RunStep::Write, 1);
  ObservedFrontEnd ui(observer, progress);
  std::string accepted;
  // Checked before the library opens: a wrong folder costs no recorder.
  if (!ValidateVideoTsFolder(request_.folder, accepted)) {
    ui.ShowMessage(kNotDvdFolder);
    return JobFailed(request_.folder + " does not hold the VIDEO_TS files of a DVD");
  }
  RecorderSession session(ui, request_.settings, true);
  std::string why;
  const char letter = session.Choose(request_.device, why);
  if (!letter) return JobFailed(why);
  for (const std::string& name : session.Devices())
    if (name[0] == letter) ui.ShowStatus(Format(Tr("选择驱动器 [%s]"), ShownDeviceName(name).c_str()), 0, 4, 1);
  WriteRequest write;
  write.videoTsFolder = accepted;
  write.deviceLetter = letter;
  write.burnproof = request_.settings.burnproof;
  progress.Enter(RunStep::Write);
  JobResult result = WriteToRecorder(ui, write, cancel_);
  if (result.succeeded) progress.Finish();
  return result;
}

}  // namespace vantrel
