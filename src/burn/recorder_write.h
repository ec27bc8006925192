// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a finished VIDEO_TS folder to a recorder as the burn dialog does after a run:
// the size question, the project sequence, Burn, and the texts of progress, completion and
// cancel. Used by the burn dialog after the start run and by vantrel-author.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "burn/burn_front_end.h"
#include "base/translation.h"

namespace vantrel {

// Above this many MB (of 1048576 bytes) the size question is asked.
inline constexpr double kDiscLimitMb = 4482.68;

// Asked before a running write is cancelled.
inline constexpr const char* kCancelWriteQuestion = N_("取消写入将可能损坏您的光盘，您想要取消吗？");

// The size question for a folder of `sizeMb`, or "" when none is asked.
std::string SizeQuestion(double sizeMb);

struct WriteRequest {
  std::string videoTsFolder;       // the folder holding the VIDEO_TS files
  char deviceLetter = 0;           // 0: no device entry chosen, SetDevice is skipped
  bool burnproof = true;           // the burnproof setting
  std::string intermediateFolder;  // removed first when not empty (the run's TEMP folder)
};

// The request after a start run: the output folder's VIDEO_TS, the intermediate folder
// removed first.
WriteRequest RunOutputRequest(const std::string& workFolder, char deviceLetter, bool burnproof);

enum class WriteStart {
  NotStarted,      // not begun: the medium was refused or the overwrite declined first
  Started,         // Burn returned 0; the end comes through OnBurnDone
  Declined,        // the size question was answered No
  SetupFailed,     // DeleteProject, CreateProject, AddDir or Prepare failed
  BurnFailed,      // Burn returned an error: the folder-burn dialog is the way on
};

class RecorderWrite {
 public:
  explicit RecorderWrite(BurnFrontEnd& ui);
  ~RecorderWrite();
  RecorderWrite(const RecorderWrite&) = delete;
  RecorderWrite& operator=(const RecorderWrite&) = delete;

  // Registers this object's burn-done and progress handlers with the library.
  void RegisterCallbacks();
  WriteStart Start(const WriteRequest& request);

  // The Cancel button: asks first; true when the write was cancelled.
  bool Cancel();
  // Cancel without the question (an interrupt from the terminal).
  void CancelNow();

  // Blocks until the done callback has come, up to `timeoutMs` (negative: no limit);
  // true when it has come.
  bool WaitDone(int timeoutMs);
  bool Burning() const;
  bool Succeeded() const;
  std::string DoneText() const;

  void OnBurnDone(const char* text);
  void OnProcess(float percent);

 private:
  bool RunProjectSequence(const WriteRequest& request);

  BurnFrontEnd& ui_;
  mutable std::mutex mutex_;
  std::condition_variable doneSignal_;
  bool burning_ = false;
  bool waiting_ = false;  // a write started and its done callback has not come yet
  bool cancelled_ = false;  // the running write was cancelled
  bool succeeded_ = false;
  std::string doneText_;
};

}  // namespace vantrel
