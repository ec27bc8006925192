// The command line's status display and question box: event-log lines with their time,
// a progress bar when standard output is a terminal, and Yes/No answered by a flag or
// asked on the terminal.
#pragma once

#include <mutex>
#include <string>

#include "authoring/run_status.h"
#include "media/add_titles.h"

namespace vantrel::cli {

class ConsoleRunStatus : public RunStatus {
 public:
  ConsoleRunStatus();
  ~ConsoleRunStatus() override;
  void ShowStatus(const std::string& text, int position, int mode, int kind) override;
  void SetProgressRange(int low, int high) override;
  void SetProgress(int position) override;
  // Ends the progress bar's line so that what follows starts on a line of its own.
  void Finish();

 private:
  void Log(const std::string& text, int kind);
  void DrawBar();

  std::mutex mutex_;
  bool terminal_;
  bool barShown_ = false;
  std::string line_;
  int low_ = 0, high_ = 100, position_ = 0;
};

class ConsoleQuestion : public RunQuestion {
 public:
  enum class Answer { kAsk, kYes, kNo };
  explicit ConsoleQuestion(Answer answer) : answer_(answer) {}
  bool AskYesNo(const std::string& text) override;
  void ShowMessage(const std::string& text) override;

 private:
  Answer answer_;
};

// Adding titles from the command line: the files come from the arguments, progress and
// the decoder notice go to standard error.
class ConsoleAddTitlesView : public AddTitlesView {
 public:
  bool ChooseFiles(std::vector<std::string>&) override { return false; }
  void ShowProgress(const std::string&) override {}
  void CloseProgress() override {}
  void ShowDecoderNotice(const std::string& path) override;
  void ShowTotalDuration(int) override {}
};

// Every command that touches the media layer runs on a thread initialised for components,
// with the window message pump behind every long wait.
class ConsoleThread {
 public:
  ConsoleThread();
  ~ConsoleThread();
  ConsoleThread(const ConsoleThread&) = delete;
  ConsoleThread& operator=(const ConsoleThread&) = delete;
};

}  // namespace vantrel::cli
