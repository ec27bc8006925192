// SPDX-License-Identifier: GPL-3.0-or-later
// A RunStatus and RunQuestion that remember everything, installed as the process's current
// ones for the life of the object unless `install` is false (a job's own front end). As a
// job's observer it records the same: lines, questions (notes among the messages), the
// whole job's progress and the end.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "authoring/run_status.h"
#include "jobs/job_observer.h"

namespace vantrel::test {

class RecordingStatus : public RunStatus, public RunQuestion, public JobObserver {
 public:
  struct Line {
    std::string text;
    int position, mode, kind;
  };
  explicit RecordingStatus(bool answer = false, bool install = true) : answer_(answer), install_(install) {
    if (!install_) return;
    SetCurrentRunStatus(this);
    SetCurrentRunQuestion(this);
  }
  ~RecordingStatus() override {
    if (!install_) return;
    SetCurrentRunStatus(nullptr);
    SetCurrentRunQuestion(nullptr);
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

}  // namespace vantrel::test
