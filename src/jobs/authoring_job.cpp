#include "jobs/authoring_job.h"

#include <memory>

#include "authoring/authoring_driver.h"
#include "authoring/default_steps.h"
#include "base/app_folder.h"
#include "jobs/job_front_end.h"
#include "jobs/recorder_session.h"

namespace vantrel {

AuthoringJob::AuthoringJob(const TitleList& titles, AuthoringOptions options, RunStatus& status,
                           RunQuestion& question)
    : titles_(titles), options_(std::move(options)), status_(status), question_(question),
      folders_(RunFolders::For(options_.settings.temppath, ApplicationFolder())) {
  if (options_.appearance) model_.Appearance() = *options_.appearance;
}

std::string AuthoringJob::ToolLogPath() const {
  return folders_.intermediate + AuthoringDriver::kToolLogName;
}

JobResult AuthoringJob::Execute() {
  AppSettings& settings = options_.settings;
  JobFrontEnd ui(status_, question_);
  // A recorder is chosen before the run, so that a wrong letter costs no authoring. The
  // burn dialog's status is the process's current one while a disc job runs.
  std::unique_ptr<ScopedCurrentFrontEnd> current;
  std::unique_ptr<RecorderSession> recorders;
  char letter = 0;
  if (!options_.recorder.empty()) {
    current = std::make_unique<ScopedCurrentFrontEnd>(status_, question_);
    recorders = std::make_unique<RecorderSession>(ui, settings, true);
    std::string why;
    if (!(letter = recorders->Choose(options_.recorder, why))) return JobFailed(why);
  }
  AuthoringDriver driver(settings, model_, titles_, DefaultAuthoringSteps(status_, question_), status_,
                         question_);
  const bool ok = driver.StartRun();
  folders_ = driver.Folders();
  if (ok && !letter) status_.ShowStatus("转换完成", 0, kStatusLogAndProgress, kStatusGreen);
  status_.StopRunTimer();
  if (!ok) return JobFailed("the DVD could not be authored; the tools' output is in " + ToolLogPath());
  authored_ = true;
  if (!letter) return JobSucceeded();
  if (cancel_) return {false, true, "the write was cancelled"};
  return WriteToRecorder(ui, RunOutputRequest(settings.temppath, letter, settings.burnproof), cancel_);
}

}  // namespace vantrel
