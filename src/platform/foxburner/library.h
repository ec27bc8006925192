// SPDX-License-Identifier: GPL-3.0-or-later
// The state behind the exported calls. Everything marked "worker" is touched only on the
// worker thread; the callbacks and the busy and abort flags are shared with the callers.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foxburner/foxburner.h"
#include "platform/foxburner/foxburner_ext.h"
#include "platform/foxburner/worker.h"

// libburn declares its C API inside namespace burn when compiled as C++.
namespace burn {
struct burn_drive_info;
struct burn_drive;
}  // namespace burn

namespace vantrel::foxburner {

using burn::burn_drive;
using burn::burn_drive_info;

// A single-layer DVD: what an image-file recorder offers at most.
inline constexpr std::uint64_t kDvdCapacityBytes = 4700372992ULL;

struct Recorder {
  char letter = 0;
  std::string name;     // as GetDevices reports it
  std::string address;  // libburn's drive address
  std::string imagePath;  // set for an image-file recorder
  bool IsImageFile() const { return !imagePath.empty(); }
};

struct Project {
  bool created = false;
  std::string videoTsFolder;  // the folder with the VIDEO_TS files
  std::string stagingFolder;  // holds a VIDEO_TS link to it, for genisoimage
  std::uint64_t bytes = 0;    // exact image size, known after Prepare
  bool prepared = false;
};

struct Callbacks {
  BurnDoneCallback burnDone = nullptr;
  void* burnDoneUser = nullptr;
  EraseDoneCallback eraseDone = nullptr;
  void* eraseDoneUser = nullptr;
  ProcessCallback process = nullptr;
  void* processUser = nullptr;
  FinalizeCallback finalize = nullptr;
  void* finalizeUser = nullptr;
  AddFileCallback addFile = nullptr;
  void* addFileUser = nullptr;
};

// A listener the library's own windows put beside the registered callbacks.
struct Listener {
  void (*progress)(float percent, void* self) = nullptr;
  void (*done)(int code, const std::string& text, void* self) = nullptr;
  void* self = nullptr;
};

class Library {
 public:
  static Library& Instance();

  int Initialize(const std::string& startup);
  void DeInitialize();
  bool Initialized() const { return worker_ != nullptr; }

  // Runs on the worker; FB_ERR_NOT_INITIALIZED without one, FB_ERR_BUSY during a write or
  // an erase (so no caller ever waits behind one).
  int Call(std::function<int()> job, bool allowedWhileBusy = false);

  // Worker side, in the files named after them.
  int GetDevices(char devices[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE], int32_t* count);
  int SetDevice(char letter);
  int GetMediumInformation(MediumInfo* info);
  int DeleteProject();
  int CreateProject(int kind);
  int AddDir(const DirRecord& record);
  int Prepare();
  int StartBurn();
  int StartErase(bool quick);
  void Abort() {
    if (busy_) abort_ = true;
  }

  BurnOptions GetOptions();
  void SetOptions(const BurnOptions& options);
  void ResetOptions();

  std::string TextOf(int code);
  std::string LastDigest();
  std::string LastNote();

  Callbacks CallbacksCopy();
  void SetCallbacks(const std::function<void(Callbacks&)>& change);
  void SetListener(const Listener& listener);
  FoxBurnerWindowHost WindowHost();
  void SetWindowHost(const FoxBurnerWindowHost* host);

 private:
  Library() = default;

  // Worker side.
  // Queues a write or an erase; false once the library is closing.
  bool StartJob(std::function<void()> job);
  void ReleaseDrive();
  int GrabDrive(const Recorder& recorder);
  int Fail(int code, const std::string& detail);  // remembers the detail for GetText
  // The image builder's messages name the staged link; the user knows the real folder.
  std::string ToolMessages(const std::string& text) const;
  int ImageMediumInfo(MediumInfo* info);
  int DriveMediumInfo(MediumInfo* info);
  std::uint64_t CapacityBytes();
  void WriteJob();
  void EraseJob(bool quick);
  int WriteAndVerify(std::string& text);
  // After a cancelled write to an image file: the file is removed; `detail` says what is left.
  void RemoveCancelledImage(std::string& detail);
  int VerifyWritten(const std::string& sentDigest, std::string& text);
  // FB_OK; FB_ERR_DEVICE_UNUSABLE when the file cannot be opened for writing, or
  // FB_ERR_DEVICE_IN_USE when another program holds it; `error` says which file and why.
  int LockImage(const std::string& path, bool create, std::string& error);
  const Recorder* CurrentRecorder() const;
  bool EmptyImage();  // false when the locked image file could not be truncated
  void ReportProgress(float percent, int sector, int sectors, int drivePercent, int fifoPercent);
  void FinishWrite(int code, const std::string& text);
  void FinishErase(int code, const std::string& text);

  std::unique_ptr<Worker> worker_;
  std::vector<std::string> imageFiles_;        // worker
  std::vector<Recorder> recorders_;            // worker
  int current_ = -1;                           // worker: index into recorders_
  burn_drive_info* driveInfo_ = nullptr;       // worker: the grabbed drive
  int imageLockFd_ = -1;                       // worker
  Project project_;                            // worker
  BurnOptions options_{};                      // worker

  std::atomic<bool> busy_{false};
  std::atomic<bool> abort_{false};
  // Set while DeInitialize winds the library down: no write or erase starts any more.
  // Starting one and beginning to close are serialised by lifeMutex_, so a write either
  // starts before the close (and is cancelled and waited for) or is refused.
  std::atomic<bool> closing_{false};
  std::mutex lifeMutex_;

  std::mutex mutex_;  // guards what follows
  Callbacks callbacks_;
  Listener listener_;
  FoxBurnerWindowHost host_{};
  bool hostSet_ = false;
  std::vector<std::pair<int, std::string>> details_;  // last detail per code
  std::string lastDigest_;
  std::string lastNote_;
};

burn_drive* DriveOf(burn_drive_info* info);

}  // namespace vantrel::foxburner
