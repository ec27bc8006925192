// SPDX-License-Identifier: GPL-3.0-or-later
// The exported C calls: each hands its work to the library's worker thread.
#include <cstring>

#include "platform/foxburner/foxburner.h"
#include "platform/foxburner/foxburner_ext.h"
#include "platform/foxburner/library.h"

namespace vantrel::foxburner {
int RunBurnWindow(const char* title);
int RunEraseWindow(const char* title);
}  // namespace vantrel::foxburner

using vantrel::foxburner::Library;

namespace {

Library& Lib() { return Library::Instance(); }

int32_t CopyText(const std::string& text, char* buffer, int32_t size) {
  if (!buffer || size <= 0) return FB_ERR_BAD_ARGUMENT;
  size_t n = std::min(text.size(), size_t(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return FB_OK;
}

}  // namespace

extern "C" {

int32_t Initialize(const char* startup, int32_t) { return Lib().Initialize(startup ? startup : ""); }

void DeInitialize(void) { Lib().DeInitialize(); }

int32_t IsInitialized(void) { return Lib().Initialized() ? 1 : 0; }

int32_t SetASPI(int32_t) { return FB_OK; }

int32_t GetText(int32_t code, char* buffer, int32_t* size) {
  if (!size) return FB_ERR_BAD_ARGUMENT;
  return CopyText(Lib().TextOf(code), buffer, *size);
}

int32_t GetDevices(char devices[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE], int32_t* count, int32_t) {
  if (!devices || !count) return FB_ERR_BAD_ARGUMENT;
  *count = 0;
  return Lib().Call([&] { return Lib().GetDevices(devices, count); });
}

int32_t SetDevice(int32_t letter) {
  return Lib().Call([&] { return Lib().SetDevice(char(letter)); });
}

int32_t GetMediumInformation(MediumInfo* info) {
  if (!info) return FB_ERR_BAD_ARGUMENT;
  return Lib().Call([&] { return Lib().GetMediumInformation(info); });
}

int32_t ClearAll(void) {
  return Lib().Call([] {
    Lib().DeleteProject();
    Lib().ResetOptions();
    return int(FB_OK);
  });
}

int32_t DeleteProject(void) {
  return Lib().Call([] { return Lib().DeleteProject(); });
}

int32_t CreateProject(int32_t kind) {
  return Lib().Call([&] { return Lib().CreateProject(kind); });
}

int32_t AddDir(DirRecord record) {
  return Lib().Call([&] { return Lib().AddDir(record); });
}

int32_t GetOptions(BurnOptions* options) {
  if (!options) return FB_ERR_BAD_ARGUMENT;
  return Lib().Call([&] {
    *options = Lib().GetOptions();
    return int(FB_OK);
  });
}

int32_t SetOptions(BurnOptions options) {
  return Lib().Call([&] {
    Lib().SetOptions(options);
    return int(FB_OK);
  });
}

int32_t Prepare(void) {
  return Lib().Call([] { return Lib().Prepare(); });
}

int32_t Burn(void) {
  return Lib().Call([] { return Lib().StartBurn(); });
}

int32_t Abort(void) {
  Lib().Abort();
  return FB_OK;
}

int32_t Erase(int32_t quick) {
  return Lib().Call([&] { return Lib().StartErase(quick != 0); });
}

int32_t BurnDialog(int32_t, int32_t, const char* title, const char*) {
  if (!Lib().Initialized()) return FB_ERR_NOT_INITIALIZED;
  return vantrel::foxburner::RunBurnWindow(title);
}

int32_t EraseDialog(const char* title) {
  if (!Lib().Initialized()) return FB_ERR_NOT_INITIALIZED;
  return vantrel::foxburner::RunEraseWindow(title);
}

void SetBurnDoneEventCallback(BurnDoneCallback callback, void* user) {
  Lib().SetCallbacks([&](auto& c) { c.burnDone = callback; c.burnDoneUser = user; });
}

void SetEraseDoneEventCallback(EraseDoneCallback callback, void* user) {
  Lib().SetCallbacks([&](auto& c) { c.eraseDone = callback; c.eraseDoneUser = user; });
}

void SetProcessEventCallback(ProcessCallback callback, void* user) {
  Lib().SetCallbacks([&](auto& c) { c.process = callback; c.processUser = user; });
}

void SetFinalizeEventCallback(FinalizeCallback callback, void* user) {
  Lib().SetCallbacks([&](auto& c) { c.finalize = callback; c.finalizeUser = user; });
}

void SetAddFileEventCallback(AddFileCallback callback, void* user) {
  Lib().SetCallbacks([&](auto& c) { c.addFile = callback; c.addFileUser = user; });
}

void SetWindowHost(const FoxBurnerWindowHost* host) { Lib().SetWindowHost(host); }

int32_t GetLastWriteDigest(char* buffer, int32_t size) {
  return CopyText(Lib().LastDigest(), buffer, size);
}

int32_t GetLastNote(char* buffer, int32_t size) { return CopyText(Lib().LastNote(), buffer, size); }

}  // extern "C"
