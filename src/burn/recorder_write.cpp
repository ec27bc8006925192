// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/recorder_write.h"

#include <chrono>
#include <cstring>

#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "burn/disc_library.h"
#include "burn/medium_view.h"

namespace vantrel {
namespace {

void BurnDoneThunk(const char* text, void* self) {
  static_cast<RecorderWrite*>(self)->OnBurnDone(text);
}

void ProcessThunk(float percent, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                  void* self) {
  static_cast<RecorderWrite*>(self)->OnProcess(percent);
}

}  // namespace

std::string SizeQuestion(double sizeMb) {
  if (!(sizeMb > kDiscLimitMb)) return "";
  return Format(
      Tr("在 'VIDEO_TS' 中的文件大小为 %.02fMB，将可能超过光盘容量，您无论如何都要刻录光盘吗？"),
      sizeMb);
}

WriteRequest RunOutputRequest(const std::string& workFolder, char deviceLetter, bool burnproof) {
  WriteRequest request;
  request.videoTsFolder = JoinPath(JoinPath(workFolder, "DVD"), "VIDEO_TS");
  request.deviceLetter = deviceLetter;
  request.burnproof = burnproof;
  request.intermediateFolder = JoinPath(workFolder, "TEMP") + "/";
  return request;
}

RecorderWrite::RecorderWrite(BurnFrontEnd& ui) : ui_(ui) {}

RecorderWrite::~RecorderWrite() {
  SetBurnDoneEventCallback(nullptr, nullptr);
  SetProcessEventCallback(nullptr, nullptr);
}

void RecorderWrite::RegisterCallbacks() {
  SetBurnDoneEventCallback(BurnDoneThunk, this);
  SetProcessEventCallback(ProcessThunk, this);
}

WriteStart RecorderWrite::Start(const WriteRequest& request) {
  const double sizeMb = double(ui_.Aside([&request]() -> std::int64_t {
                          if (!request.intermediateFolder.empty())
                            DeleteFolderTree(request.intermediateFolder);
                          return std::int64_t(FolderSize(request.videoTsFolder));
                        })) / 1048576.0;
  std::string question = SizeQuestion(sizeMb);
  if (!question.empty() && !ui_.AskYesNo(question)) {
    ui_.ShowStatus(Tr("被用户取消，文件大小超过光盘容量"), 0, 1, 2);
    return WriteStart::Declined;
  }
  ui_.ShowStatus(Tr("添加文件..."), 0, 1, 1);
  if (!RunProjectSequence(request)) return WriteStart::SetupFailed;
  {
    std::lock_guard lock(mutex_);
    waiting_ = true;
    succeeded_ = false;
    doneText_.clear();
  }
  if (!ReportResult(Burn(), ui_, true)) {
    {
      std::lock_guard lock(mutex_);
      waiting_ = false;
    }
    // Not under the lock: the note's own event loop may ask whether a write is running.
    ui_.ShowMessage(kWrongMediumMessage);
    return WriteStart::BurnFailed;
  }
  ui_.ShowStatus(Tr("写入光盘..."), 0, 1, 1);
  std::lock_guard lock(mutex_);
  burning_ = waiting_;  // a done callback may already have come
  return WriteStart::Started;
}

bool RecorderWrite::RunProjectSequence(const WriteRequest& request) {
  auto aside = [this](int32_t (*call)()) { return int(ui_.Aside([call] { return call(); })); };
  if (!ReportResult(aside(DeleteProject), ui_, true)) return false;
  if (!ReportResult(int(ui_.Aside([] { return CreateProject(FB_PROJECT_DVD_VIDEO); })), ui_, true))
    return false;
  DirRecord record;
  if (!VideoTsDirRecord(request.videoTsFolder, record)) {
    // A longer path would reach the library cut short; it is refused with its reason.
    ui_.ShowMessage(Tr("错误: ") + LibraryText(FB_ERR_BAD_ARGUMENT) + ": " + request.videoTsFolder);
    ui_.ShowStatus(Tr("错误: ") + LibraryText(FB_ERR_BAD_ARGUMENT), 0, 1, 1);
    return false;
  }
  if (!ReportResult(int(ui_.Aside([&record] { return AddDir(record); })), ui_, true)) return false;
  BurnOptions options = PrefilledBurnOptions();
  ReportResult(GetOptions(&options), ui_, true);
  std::memset(options.VolumeLabel, 0, sizeof options.VolumeLabel);
  std::strcpy(options.VolumeLabel, "NEW DISC");
  options.CloseDisc = 1;
  options.TestWrite = 0;
  options.WriteMode = 4;
  options.UnderrunProtection = request.burnproof ? 1 : 0;
  options.Verify = 1;
  options.Copies = 1;
  SetOptions(options);
  if (request.deviceLetter)
    ReportResult(int(ui_.Aside([&request] { return SetDevice(request.deviceLetter); })), ui_, true);
  return ReportResult(aside(Prepare), ui_, true);
}

bool RecorderWrite::Cancel() {
  if (!Burning()) return false;
  if (!ui_.AskYesNo(kCancelWriteQuestion)) return false;
  CancelNow();
  return true;
}

void RecorderWrite::CancelNow() {
  Abort();
  ui_.ShowStatus(Tr("写入光盘被取消！"), 0, 2, 1);
  std::lock_guard lock(mutex_);
  burning_ = false;
}

void RecorderWrite::OnBurnDone(const char* text) {
  std::string error = text ? text : "";
  if (error.empty()) {
    ui_.ShowStatus(Tr("写入光盘成功完成！"), 0, 1, 1);
  } else {
    ui_.ShowStatus(Tr("写入光盘出错: ") + error, 0, 2, 3);
    ui_.ShowStatus(Tr("写入光盘出错！"), 0, 3, 3);
  }
  std::lock_guard lock(mutex_);
  burning_ = false;
  waiting_ = false;
  succeeded_ = error.empty();
  doneText_ = error;
  doneSignal_.notify_all();
}

void RecorderWrite::OnProcess(float percent) {
  if (!Burning()) return;
  ui_.SetProgress(int(percent));
}

bool RecorderWrite::WaitDone(int timeoutMs) {
  std::unique_lock lock(mutex_);
  if (timeoutMs < 0) {
    doneSignal_.wait(lock, [this] { return !waiting_; });
    return true;
  }
  return doneSignal_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return !waiting_; });
}

bool RecorderWrite::Burning() const {
  std::lock_guard lock(mutex_);
  return burning_;
}

bool RecorderWrite::Succeeded() const {
  std::lock_guard lock(mutex_);
  return succeeded_;
}

std::string RecorderWrite::DoneText() const {
  std::lock_guard lock(mutex_);
  return doneText_;
}

}  // namespace vantrel
