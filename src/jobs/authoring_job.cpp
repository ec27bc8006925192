// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/authoring_job.h"

#include <memory>

#include "authoring/authoring_driver.h"
#include "authoring/default_steps.h"
#include "authoring/disc_fit_plan.h"
#include "base/app_folder.h"
#include "base/paths.h"
#include "base/run_cancel.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "burn/disc_library.h"
#include "burn/medium_view.h"
#include "jobs/job_observer.h"
#include "jobs/observed_front_end.h"
#include "jobs/recorder_session.h"

namespace vantrel {

namespace {

// The write's expected work beside the run's, in the same rough seconds: an image file
// takes a moment per minute of video, a recorder more.
double WriteCost(const TitleList& titles) {
  double seconds = 0;
  for (int i = 0; i < titles.Count(); ++i) seconds += titles.At(i).Duration;
  return 1.0 + seconds * 0.02;
}

}  // namespace

AuthoringJob::AuthoringJob(DiscProject project, AuthoringOptions options, JobObserver& observer)
    : Job(observer), project_(std::move(project)), options_(std::move(options)),
      folders_(RunFolders::For(options_.settings.temppath, ApplicationFolder())) {
  ApplyProjectChoices(project_, options_.settings);
  AppendProjectTitles(titles_, project_.titles);
  model_.Appearance() = project_.menu.look;
  model_.Choices() = options_.choices;
  model_.Choices().playAll = options_.choices.playAll || project_.menu.playAll;
  model_.Choices().chapterMenus = options_.choices.chapterMenus || project_.menu.chapterMenus;
  if (!options_.choices.motion.Moving()) model_.Choices().motion = project_.menu.motion;
}

std::string AuthoringJob::ToolLogPath() const {
  // The image builder moves the log out of the intermediate folder before removing it.
  const std::string inRun = folders_.intermediate + AuthoringDriver::kToolLogName;
  const std::string kept = folders_.work + "/" + AuthoringDriver::kToolLogName;
  return FileExists(inRun) || !FileExists(kept) ? inRun : kept;
}

JobResult AuthoringJob::Execute() {
  AppSettings& settings = options_.settings;
  JobObserver& observer = *Observer();
  RunProgress progress([&observer](const JobProgress& p) { observer.OnProgress(p); });
  ObservedFrontEnd ui(observer, progress);
  // A recorder is chosen before the run, so that a wrong letter costs no authoring.
  std::unique_ptr<RecorderSession> recorders;
  char letter = 0;
  if (!options_.recorder.empty()) {
    progress.Plan(RunStep::Write, WriteCost(titles_));
    recorders = std::make_unique<RecorderSession>(ui, settings, true);
    std::string why;
    if (!(letter = recorders->Choose(options_.recorder, why))) return JobFailed(why);
    // A recorder that can never take the disc (an image file in a read-only folder, say) is
    // said before the run, not after an hour of encoding. One in use by another program may
    // be free by the time of the write, which then hands over as a failed write does.
    if (const MediumView medium = ReadMedium(letter); medium.result == FB_ERR_DEVICE_UNUSABLE) {
      ReportResult(medium.result, ui, true);
      return JobFailed(LibraryText(medium.result));
    }
  }
  CancelScope cancellable(cancel_);
  AuthoringDriver driver(settings, model_, titles_, DefaultAuthoringSteps(ui, ui), ui, ui);
  driver.SetCores(options_.cores);
  driver.SetProgress(&progress);
  if (options_.discSectors > 0) {
    driver.SetDiscCapacity(options_.discSectors,
                           Format(Tr("%lld 个扇区"), static_cast<long long>(options_.discSectors)));
  } else if (letter) {
    // The titles are planned for the loaded medium when it tells its size.
    const MediumView medium = ReadMedium(letter);
    if (medium.result == 0 && medium.kind == MediumKind::Dvd && medium.capacityBytes >= kDiscSectorBytes)
      driver.SetDiscCapacity(std::int64_t(medium.capacityBytes) / kDiscSectorBytes, medium.typeText);
  }
  const bool menuWanted = settings.createmenu;
  const bool ok = driver.StartRun();
  // The menu chain clears the switch when the user chose to go on without a menu.
  menuTurnedOff_ = menuWanted && !settings.createmenu;
  folders_ = driver.Folders();
  TakeProjectChoices(project_, settings);
  if (ok && !letter) progress.Finish();
  if (ok && !letter && options_.announceFinished)
    ui.ShowStatus(Tr("转换完成"), 0, kStatusLogAndProgress, kStatusGreen);
  if (!ok && cancel_) return {false, true, "the run was cancelled"};
  if (!ok && !driver.FailureReason().empty()) return JobFailed(driver.FailureReason());
  if (!ok) {
    const std::string last = LastLinesOf(ToolLogPath(), 2);
    return JobFailed("the DVD could not be authored" + (last.empty() ? "" : ": " + last) +
                     "; the tools' output is in " + ToolLogPath());
  }
  authored_ = true;
  if (!letter) return JobSucceeded();
  if (cancel_) return {false, true, "the write was cancelled"};
  writing_ = true;
  progress.Enter(RunStep::Write);
  const WriteRequest write = RunOutputRequest(settings.temppath, letter, settings.burnproof);
  JobResult result = WriteToRecorder(ui, write, cancel_, &writeStart_);
  // "删除临时文件": once the disc holds it, the run's VIDEO_TS and AUDIO_TS folders go. Only
  // after a write that succeeded, and only the run's own folders in the work folder.
  if (result.succeeded && settings.deletetemp) {
    for (const char* name : {"VIDEO_TS", "AUDIO_TS"}) DeleteFolderTree(JoinPath(folders_.output, name));
    ui.ShowStatus(Format(Tr("已删除临时文件夹 VIDEO_TS、AUDIO_TS (%s)"), folders_.output.c_str()), 0,
                  kStatusLogAndProgress, kStatusGreen);
  }
  if (result.succeeded) progress.Finish();
  return result;
}

}  // namespace vantrel
