// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/erase_job.h"

#include "burn/disc_library.h"
#include "burn/erase_sequence.h"
#include "jobs/job_observer.h"
#include "jobs/observed_front_end.h"
#include "jobs/recorder_session.h"
#include "platform/foxburner/foxburner_ext.h"

namespace vantrel {

EraseJob::EraseJob(EraseRequest request, JobObserver& observer) : Job(observer), request_(std::move(request)) {}

JobResult EraseJob::Execute() {
  JobObserver& observer = *Observer();
  RunProgress progress([&observer](const JobProgress& p) { observer.OnProgress(p); });
  progress.Plan(RunStep::Erase, 1);
  ObservedFrontEnd ui(observer, progress);
  RecorderSession session(ui, request_.settings, false);
  std::string why;
  const char letter = session.Choose(request_.device, why);
  if (!letter) return JobFailed(why);
  if (const int rc = SetDevice(letter); !ReportResult(rc, ui, true)) return JobFailed(LibraryText(rc));
  progress.Enter(RunStep::Erase);
  DiscErase erase(ui);
  erase.RegisterCallbacks();
  switch (erase.Run(request_.quick)) {
    case EraseOutcome::Blank:
      blank_ = true;
      return JobSucceeded();
    case EraseOutcome::Erased: {
      char note[FB_TEXT_SIZE] = "";
      GetLastNote(note, sizeof note);
      note_ = note;
      progress.Finish();
      return JobSucceeded();
    }
    case EraseOutcome::Declined:
      return JobFailed("the erase was declined");
    case EraseOutcome::Failed:
      break;
  }
  const std::string text = erase.DoneText();
  return JobFailed(text.empty() ? "the medium could not be erased" : text);
}

}  // namespace vantrel
