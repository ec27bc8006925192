// SPDX-License-Identifier: GPL-3.0-or-later
// Lifecycle, result texts, callbacks and options of the library.
#include "platform/foxburner/library.h"

#include <libburn/libburn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/foxburner/burn_messages.h"
#include "platform/foxburner/result_text.h"

namespace vantrel::foxburner {

using namespace burn;
namespace {

std::vector<std::string> SplitImageFiles(const std::string& list) {
  std::vector<std::string> files;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string item = list.substr(start, end - start);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
    while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.erase(0, 1);
    if (!item.empty()) {
      std::error_code ec;
      std::string absolute = std::filesystem::absolute(item, ec).lexically_normal().string();
      if (ec) absolute = item;
      bool seen = false;
      for (const auto& f : files) seen = seen || f == absolute;
      if (!seen) files.push_back(absolute);
    }
    start = end + 1;
  }
  return files;
}

void DeInitializeAtExit() { Library::Instance().DeInitialize(); }

}  // namespace

burn_drive* DriveOf(burn_drive_info* info) { return info ? info->drive : nullptr; }

Library& Library::Instance() {
  static Library library;
  return library;
}

int Library::Initialize(const std::string& startup) {
  if (worker_) {
    // A second Initialize only refreshes the list of image files.
    std::vector<std::string> files = SplitImageFiles(startup);
    return Call([this, files] { imageFiles_ = files; return FB_OK; }, true);
  }
  static bool atExitRegistered = false;
  if (!atExitRegistered) {
    std::atexit(DeInitializeAtExit);
    atExitRegistered = true;
  }
  worker_ = std::make_unique<Worker>();
  std::vector<std::string> files = SplitImageFiles(startup);
  int rc = worker_->Call([this, files] {
    // libburn's signal handling is never installed: the program's front end owns the
    // signals and cancels through Abort.
    if (!burn_initialize()) return FB_ERR_NOT_INITIALIZED;
    QuietMessages();
    imageFiles_ = files;
    ResetOptions();
    return FB_OK;
  });
  if (rc != FB_OK) worker_.reset();
  return rc;
}

void Library::DeInitialize() {
  if (!worker_ || worker_->OnWorkerThread()) return;
  {
    std::lock_guard lock(lifeMutex_);
    closing_ = true;
    abort_ = true;  // a running write stops at its next look at the flag
  }
  // The worker runs its jobs in order: this one starts only after a running write or erase
  // has ended and reported its end, so libburn is never finished under it.
  worker_->Call([this] {
    DeleteProject();
    ReleaseDrive();
    recorders_.clear();
    current_ = -1;
    burn_finish();
    return FB_OK;
  });
  worker_.reset();
  abort_ = false;
  closing_ = false;
}

bool Library::StartJob(std::function<void()> job) {
  // Queued under the lock, so DeInitialize's own job lands behind it.
  std::lock_guard lock(lifeMutex_);
  if (closing_) return false;
  abort_ = false;
  busy_ = true;
  worker_->Post(std::move(job));
  return true;
}

int Library::Call(std::function<int()> job, bool allowedWhileBusy) {
  if (!worker_ || closing_) return FB_ERR_NOT_INITIALIZED;
  if (busy_ && !allowedWhileBusy) return Fail(FB_ERR_BUSY, "");
  return worker_->Call(std::move(job));
}

int Library::Fail(int code, const std::string& detail) {
  std::lock_guard lock(mutex_);
  for (auto& entry : details_)
    if (entry.first == code) {
      entry.second = detail;
      return code;
    }
  details_.emplace_back(code, detail);
  return code;
}

std::string Library::TextOf(int code) {
  std::string text = ResultText(code);
  std::lock_guard lock(mutex_);
  for (const auto& entry : details_)
    if (entry.first == code && !entry.second.empty()) text += ": " + entry.second;
  return text;
}

std::string Library::LastDigest() {
  std::lock_guard lock(mutex_);
  return lastDigest_;
}

std::string Library::LastNote() {
  std::lock_guard lock(mutex_);
  return lastNote_;
}

Callbacks Library::CallbacksCopy() {
  std::lock_guard lock(mutex_);
  return callbacks_;
}

void Library::SetCallbacks(const std::function<void(Callbacks&)>& change) {
  std::lock_guard lock(mutex_);
  change(callbacks_);
}

void Library::SetListener(const Listener& listener) {
  std::lock_guard lock(mutex_);
  listener_ = listener;
}

FoxBurnerWindowHost Library::WindowHost() {
  std::lock_guard lock(mutex_);
  return hostSet_ ? host_ : FoxBurnerWindowHost{};
}

void Library::SetWindowHost(const FoxBurnerWindowHost* host) {
  std::lock_guard lock(mutex_);
  hostSet_ = host != nullptr;
  host_ = host ? *host : FoxBurnerWindowHost{};
}

void Library::ResetOptions() {
  std::memset(&options_, 0, sizeof options_);
  std::strcpy(options_.VolumeLabel, "DVD_VIDEO");
  options_.CloseDisc = 1;
  options_.UnderrunProtection = 1;
  options_.Verify = 1;
  options_.Copies = 1;
}

BurnOptions Library::GetOptions() { return options_; }

void Library::SetOptions(const BurnOptions& options) { options_ = options; }

void Library::ReportProgress(float percent, int sector, int sectors, int drivePercent,
                             int fifoPercent) {
  Callbacks cb = CallbacksCopy();
  Listener listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  if (cb.process)
    cb.process(percent, sector, sectors, drivePercent, fifoPercent, 0, 0, cb.processUser);
  if (listener.progress) listener.progress(percent, listener.self);
}

void Library::FinishWrite(int code, const std::string& text) {
  Callbacks cb = CallbacksCopy();
  Listener listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  busy_ = false;
  abort_ = false;
  if (cb.finalize) cb.finalize(cb.finalizeUser);
  if (cb.burnDone) cb.burnDone(text.c_str(), cb.burnDoneUser);
  if (listener.done) listener.done(code, text, listener.self);
}

void Library::FinishErase(int code, const std::string& text) {
  Callbacks cb = CallbacksCopy();
  Listener listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  busy_ = false;
  abort_ = false;
  if (cb.eraseDone) cb.eraseDone(text.c_str(), cb.eraseDoneUser);
  if (listener.done) listener.done(code, text, listener.self);
}

}  // namespace vantrel::foxburner
