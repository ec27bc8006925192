// SPDX-License-Identifier: GPL-3.0-or-later
// A RunStatus and RunQuestion that remember everything, installed as the tests' current
// ones for the life of the object unless `install` is false (a job's own front end); a
// test hands `Installed()` to a run, which then reports to whichever is installed. As a
// job's observer it records the same: lines, questions (notes among the messages), the
// whole job's progress and the end.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "authoring/run_status.h"
#include "jobs/job_observer.h"

namespace vantrel::test {

class RecordingStatus;
inline std::atomic<RecordingStatus*> gInstalledRecorder{nullptr};

class RecordingStatus : public RunStatus, public RunQuestion, public JobObserver {
 public:
  struct Line {
    std::string text;
    int position, mode, kind;
  };
  explicit RecordingStatus(bool answer = false, bool install = true) : answer_(answer), install_(install) {
    if (install_) gInstalledRecorder = this;
  }
  ~RecordingStatus() override {
    if (install_) gInstalledRecorder = nullptr;
  }
  void ShowStatus(const std::string& text, int position, int mode, int kind) override {
    std::lock_guard<std::mutex> lock(mutex_);
    lines.push_back({text, position, mode, kind});
  }
  void SetProgressRange(int, int) override {}
  void SetProgress(int) override {}
  bool AskYesNo(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    questions.push_back(text);
    return answer_;
  }
  void ShowMessage(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    messages.push_back(text);
  }
  void OnLine(const JobLine& line) override { ShowStatus(line.text, 0, line.mode, line.kind); }
  void OnProgress(const JobProgress& p) override {
    std::lock_guard<std::mutex> lock(mutex_);
    progress.push_back(p);
  }
  void OnQuestion(const JobQuestion& question, AnswerFunction answer) override {
    if (question.IsNote()) {
      ShowMessage(question.text);
      answer(0);
    } else {
      answer(AskYesNo(question.text) ? kAnswerYes : kAnswerNo);
    }
  }
  void OnEnd(const JobResult& result) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ends.push_back(result);
  }
  bool Logged(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Line& line : lines)
      if (line.text == text) return true;
    return false;
  }

  // The event log as one text, a line each (for a failing test's message).
  std::string Text() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string text;
    for (const Line& line : lines) text += line.text + "\n";
    return text;
  }

  std::vector<Line> lines;
  std::vector<std::string> questions;
  std::vector<std::string> messages;
  std::vector<JobProgress> progress;
  std::vector<JobResult> ends;

 private:
  std::mutex mutex_;
  bool answer_;
  bool install_;
};

// Reports to the RecordingStatus installed at the time of each call; without one lines go
// nowhere and every question is answered No.
class InstalledRecorder : public RunStatus, public RunQuestion {
 public:
  void ShowStatus(const std::string& text, int position, int mode, int kind) override {
    if (RecordingStatus* r = gInstalledRecorder) r->ShowStatus(text, position, mode, kind);
  }
  bool AskYesNo(const std::string& text) override {
    RecordingStatus* r = gInstalledRecorder;
    return r && r->AskYesNo(text);
  }
  void ShowMessage(const std::string& text) override {
    if (RecordingStatus* r = gInstalledRecorder) r->ShowMessage(text);
  }
};

inline InstalledRecorder& Installed() {
  static InstalledRecorder recorder;
  return recorder;
}

}  // namespace vantrel::test
