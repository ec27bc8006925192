// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/work_folder_guard.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>

#include "authoring/run_status.h"
#include "authoring/six_file_check.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// A folder with anything in it (a missing one holds nothing).
bool HoldsFiles(const std::string& folder) {
  std::error_code ec;
  return fs::is_directory(folder, ec) && !fs::is_empty(folder, ec);
}

// "PID" or "PID-N" of a process that no longer runs.
// Names a run writes: the disc's files in DVD, the menu pictures, streams, scripts and the
// log in TEMP. Folders left by a version without the marker are recognised by them.
const std::regex kDiscFile(R"((VIDEO_TS|VTS_\d\d_\d)\.(IFO|BUP|VOB))", std::regex::icase);
const std::regex kRunFile(
    R"(menu\d\d\.mpg|menu_background\d\d\.(jpg|m2v|mpg)|button_(normal|highlighted|selected)\d\d\.png|)"
    R"(menu_mpg_spumux\d\d\.xml|dvd\.xml|tools\.log)");

bool OnlyRunFiles(const std::string& folder, bool discFolders) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (discFolders) {
      if (!entry.is_directory(ec) || (name != "VIDEO_TS" && name != "AUDIO_TS")) return false;
      for (const auto& file : fs::directory_iterator(entry.path(), ec))
        if (!file.is_regular_file(ec) || !std::regex_match(file.path().filename().string(), kDiscFile)) return false;
    } else if (!entry.is_regular_file(ec) || !std::regex_match(name, kRunFile)) {
      return false;
    }
  }
  return true;
}

bool ProcessGone(const std::string& pidText) {
  char* end = nullptr;
  const long pid = std::strtol(pidText.c_str(), &end, 10);
  if (end == pidText.c_str() || (*end && *end != '-') || pid <= 0) return false;
  return kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

WorkFolderLock::~WorkFolderLock() {
  if (fd_ >= 0) close(fd_);  // closing drops the lock
}

bool WorkFolderLock::Acquire(const std::string& workFolder, std::string& why) {
  if (!MakeFolder(workFolder)) {
    why = Tr("无法创建文件夹 ") + workFolder + ": " + std::strerror(errno);
    return false;
  }
  const std::string path = JoinPath(workFolder, kFileName);
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    why = Tr("无法锁定工作文件夹 ") + workFolder + ": " + std::strerror(errno);
    return false;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int code = errno;
    close(fd);
    why = code == EWOULDBLOCK ? Format(Tr(kFolderInUse), workFolder.c_str())
                              : Tr("无法锁定工作文件夹 ") + workFolder + ": " + std::strerror(code);
    return false;
  }
  fd_ = fd;
  return true;
}

bool MayEmptyRunFolders(const RunFolders& folders, RunQuestion& question, std::string& why) {
  const std::string marker = JoinPath(folders.work, kWorkMarkerName);
  // Unmarked, the folders count as a run's only with its script in TEMP: a VIDEO_TS of the
  // user's own in a DVD folder alone is never taken for one.
  const bool madeByRun = FileExists(folders.intermediate + "dvd.xml") && OnlyRunFiles(folders.intermediate, false) &&
                         OnlyRunFiles(folders.output, true);
  const bool foreign =
      !FileExists(marker) && !madeByRun && (HoldsFiles(folders.output) || HoldsFiles(folders.intermediate));
  if (foreign && !question.AskYesNo(Format(Tr(kForeignFilesQuestion), folders.work.c_str()))) {
    why = Format(Tr(kForeignFilesKept), folders.work.c_str());
    return false;
  }
  if (FILE* file = std::fopen(marker.c_str(), "w")) {
    std::fputs("The DVD and TEMP folders here are made by Vantrel and emptied by its next run.\n", file);
    std::fclose(file);
  }
  return true;
}

void RemoveLeftovers(const RunFolders& folders, const std::string& repairPrefix) {
  std::error_code ec;
  // Under the lock no other run is writing here: every unfinished repair is debris.
  for (const auto& entry : fs::directory_iterator(folders.work, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(repairPrefix, 0) == 0 && name.find(".part-") != std::string::npos && entry.is_regular_file(ec))
      fs::remove(entry.path(), ec);
  }
  // Tool folders are named run-PID-N after the program that wrote them.
  const fs::path toolParent = fs::path(folders.tool).parent_path();
  for (const auto& entry : fs::directory_iterator(toolParent, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("run-", 0) == 0 && ProcessGone(name.substr(4))) DeleteFolderTree(entry.path().string());
  }
  // A run that died between setting the last output aside and finishing: the new output
  // is whatever it left, the old one is still whole.
  const std::string aside = PreviousOutput::AsidePath(folders.output);
  if (FolderExists(aside)) {
    if (PassesSixFileCheck(folders.output + "/VIDEO_TS")) {
      DeleteFolderTree(aside);
    } else {
      DeleteFolderTree(folders.output);
      fs::rename(aside, folders.output, ec);
    }
  }
}

void RemoveFailedRunRemains(const RunFolders& folders) {
  DeleteFolderTree(JoinPath(folders.work, "FoxImage"));
  std::error_code ec;
  if (fs::is_regular_file(fs::symlink_status(JoinPath(folders.work, "tools.log"), ec)))
    fs::remove(JoinPath(folders.work, "tools.log"), ec);
}

PreviousOutput::PreviousOutput(std::string outputFolder) : output_(std::move(outputFolder)) {}

bool PreviousOutput::SetAside() {
  if (!HoldsFiles(output_)) return true;
  const std::string aside = AsidePath(output_);
  DeleteFolderTree(aside);
  std::error_code ec;
  fs::rename(output_, aside, ec);
  aside_ = !ec;
  return aside_;
}

void PreviousOutput::Restore() {
  if (!aside_) return;
  DeleteFolderTree(output_);
  std::error_code ec;
  fs::rename(AsidePath(output_), output_, ec);
  aside_ = false;
}

void PreviousOutput::Discard() {
  if (!aside_) return;
  DeleteFolderTree(AsidePath(output_));
  aside_ = false;
}

}  // namespace vantrel
