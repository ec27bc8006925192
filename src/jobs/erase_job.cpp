// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/erase_job.h"

#include "burn/disc_library.h"
#include "burn/erase_sequence.h"
#include "jobs/job_front_end.h"
#include "jobs/recorder_session.h"
#include "platform/foxburner/foxburner_ext.h"

namespace vantrel {

EraseJob::EraseJob(EraseRequest request, RunStatus& status, RunQuestion& question)
    : request_(std::move(request)), status_(status), question_(question) {}

JobResult EraseJob::Execute() {
  JobFrontEnd ui(status_, question_);
  ScopedCurrentFrontEnd current(status_, question_);
  RecorderSession session(ui, request_.settings, false);
  std::string why;
  const char letter = session.Choose(request_.device, why);
  if (!letter) return JobFailed(why);
  if (const int rc = SetDevice(letter); !ReportResult(rc, ui, true)) return JobFailed(LibraryText(rc));
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
