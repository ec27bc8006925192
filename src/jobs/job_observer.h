// SPDX-License-Identifier: GPL-3.0-or-later
// The one route from a running job to the front end that started it: log lines, the
// progress of the whole job, questions with their answers, and the end with its result.
// A job calls its observer from its own thread; a front end with windows brings each call
// onto its own thread (GuiJobObserver), a terminal prints it (cli::TerminalJobObserver).
//
//   class MyView : public JobObserver { ... };
//   AuthoringJob job(project, options, view);
//   job.Start();       // view.OnLine / OnProgress / OnQuestion ... then view.OnEnd(result)
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "authoring/run_progress.h"
#include "authoring/run_status.h"
#include "jobs/job.h"

namespace vantrel {

// A line of the run: `mode` says where it goes (StatusMode: the event log, the status line
// or both), `kind` its colour (StatusKind).
struct JobLine {
  std::string text;
  int mode = kStatusLogAndProgress;
  int kind = kStatusGreen;
  bool InLog() const { return mode == kStatusLogAndProgress || mode == kStatusThenLog || mode == kLogThenStatus; }
};

// A question the job waits on. A note has the one answer "确定".
struct JobQuestion {
  std::string text;
  std::vector<std::string> answers;  // in the order the front end offers them
  bool IsNote() const { return answers.size() == 1; }
};
inline constexpr int kAnswerYes = 0;
inline constexpr int kAnswerNo = 1;
JobQuestion YesNoQuestion(const std::string& text);
JobQuestion Note(const std::string& text);

// Gives the job the index of the chosen answer; the first call counts, from any thread.
// A front end that goes away with a question open gives the last answer (No).
using AnswerFunction = std::function<void(int)>;

class JobObserver {
 public:
  virtual ~JobObserver() = default;
  virtual void OnLine(const JobLine& line) = 0;
  virtual void OnProgress(const JobProgress& progress) = 0;
  // The job waits until `answer` was called; the front end may answer later, from its loop.
  virtual void OnQuestion(const JobQuestion& question, AnswerFunction answer) = 0;
  // The last call: the job has ended with `result` (Wait and Done see the end once it returns).
  virtual void OnEnd(const JobResult& result) = 0;
};

}  // namespace vantrel
