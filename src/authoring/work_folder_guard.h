// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps a run from harming anything that is not its own in the work folder: one run
// per folder at a time, a marker that tells the folders the program made from the user's,
// the previous VIDEO_TS kept until the new one is complete, and the leftovers of runs that
// were killed.
#pragma once

#include <string>

#include "authoring/run_folders.h"
#include "base/translation.h"

namespace vantrel {

class RunQuestion;

// An advisory lock on the work folder (a lock file in it), held for the life of the
// object; the system drops it with the process, so a killed run never blocks the next.
class WorkFolderLock {
 public:
  WorkFolderLock() = default;
  ~WorkFolderLock();
  WorkFolderLock(const WorkFolderLock&) = delete;
  WorkFolderLock& operator=(const WorkFolderLock&) = delete;

  // Creates the work folder when needed. False with the reason when it cannot be made or
  // another run holds it.
  bool Acquire(const std::string& workFolder, std::string& why);
  bool Held() const { return fd_ >= 0; }

  static constexpr const char* kFileName = ".vantrel-lock";

 private:
  int fd_ = -1;
};

// The file in a work folder that says its DVD and TEMP folders are the program's.
inline constexpr const char* kWorkMarkerName = ".vantrel-work";
inline constexpr const char* kForeignFilesQuestion =
    N_("工作文件夹 %s 中的 DVD 或 TEMP 文件夹里有不是本程序建立的文件。\n继续将删除这些文件。您想要继续吗？");
inline constexpr const char* kForeignFilesKept = N_("运行已停止，工作文件夹中的文件没有改动: %s");
inline constexpr const char* kFolderInUse = N_("另一个运行正在使用工作文件夹: %s");

// True when the run may empty DVD and TEMP: they are empty or missing, the folder carries
// the marker, they hold only what a run writes (a folder of a version without the marker),
// or the user agreed (asked through `question`, default No). On true the marker is written.
bool MayEmptyRunFolders(const RunFolders& folders, RunQuestion& question, std::string& why);

// Debris of runs that ended without cleaning up, removed under the work folder's lock:
// unfinished repairs (`repairPrefix` + "*.part-*") in the work folder, tool folders of
// processes that are gone, and a previous VIDEO_TS set aside by a run that never finished
// (put back).
void RemoveLeftovers(const RunFolders& folders, const std::string& repairPrefix);

// What a failed run keeps in the work folder for the user to read (the image builder's
// folder "FoxImage" with its log, the tools' log moved out of TEMP), removed when the
// folder is the program's and a new run starts.
void RemoveFailedRunRemains(const RunFolders& folders);

// The output folder of the last run, set aside (output + ".previous") while a new one is
// authored: put back when the new run fails, removed once it has succeeded.
class PreviousOutput {
 public:
  explicit PreviousOutput(std::string outputFolder);
  // Moves the output folder aside when it holds anything; false when that failed.
  bool SetAside();
  void Restore();  // the new output removed, the old one back in its place
  void Discard();

  static std::string AsidePath(const std::string& outputFolder) { return outputFolder + ".previous"; }

 private:
  std::string output_;
  bool aside_ = false;
};

}  // namespace vantrel
