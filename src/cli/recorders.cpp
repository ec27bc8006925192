#include "cli/recorders.h"

#include <cctype>
#include <cstdio>

#include "base/paths.h"
#include "burn/disc_library.h"
#include "burn/medium_view.h"
#include "cli/interrupt.h"
#include "platform/foxburner/foxburner_ext.h"
#include "project/app_settings.h"

namespace vantrel::cli {
namespace {

constexpr const char* kInitFailure =
    "\r\n无法初始化驱动器，请查阅帮助文件或联系我们来解决此问题。\n";

}  // namespace

namespace {

AppSettings& LoadedSettings(const std::string& workFolder) {
  AppSettings& settings = Settings();
  settings.Load();
  if (!workFolder.empty()) settings.temppath = workFolder;
  return settings;
}

}  // namespace

RecorderSession::RecorderSession(TerminalFrontEnd& ui, const std::string& workFolder, bool log)
    : RecorderSession(ui, LoadedSettings(workFolder), log) {}

RecorderSession::RecorderSession(TerminalFrontEnd& ui, const AppSettings& settings, bool log)
    : ui_(ui) {
  MakeFolder(settings.temppath);
  OpenDiscLibrary(ui, ImageRecorderList(settings.temppath, settings.IniPath()), kInitFailure);
  char names[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE] = {};
  int32_t count = 0;
  if (!ReportResult(GetDevices(names, &count, 1), ui, false)) return;
  for (int i = 0; i < count; ++i) {
    devices_.emplace_back(names[i]);
    if (log) ui.ShowStatus("查找驱动器 [" + devices_.back() + "]", 0, 4, 1);
  }
}

RecorderSession::~RecorderSession() { CloseDiscLibrary(); }

char RecorderSession::Choose(const std::string& letter) {
  if (devices_.empty()) {
    ui_.ShowMessage("找不到 DVD 刻录机。");
    return 0;
  }
  if (letter.empty()) return devices_.front()[0];
  for (const std::string& name : devices_)
    if (letter.size() == 1 && std::toupper((unsigned char)letter[0]) == name[0]) return name[0];
  std::fprintf(stderr, "vantrel-author: no device has the letter %s\n", letter.c_str());
  return 0;
}

int WriteToRecorder(TerminalFrontEnd& ui, const WriteRequest& request) {
  MediumView medium = ReadMedium(request.deviceLetter);
  if (medium.result != 0 && medium.result != FB_ERR_NO_MEDIUM) {
    ReportResult(medium.result, ui, true);
    return 1;
  }
  if (std::string refusal = MediumRefusal(medium); !refusal.empty()) {
    ui.ShowStatus(refusal, 0, 1, 3);
    return 1;
  }
  RecorderWrite write(ui);
  write.RegisterCallbacks();
  InterruptWatch interrupt;
  if (write.Start(request) != WriteStart::Started) return 1;
  bool cancelled = false;
  while (!write.WaitDone(100)) {
    if (interrupt.Interrupted() && !cancelled) {
      write.CancelNow();
      cancelled = true;
    }
  }
  if (cancelled || interrupt.Interrupted()) {
    std::fprintf(stderr, "vantrel-author: cancelled\n");
    return 128 + (interrupt.Signal() ? interrupt.Signal() : 2);
  }
  if (!write.Succeeded()) return 1;
  char digest[80] = "";
  GetLastWriteDigest(digest, sizeof digest);
  std::printf("written and read back: sha256 %s\n", digest);
  return 0;
}

}  // namespace vantrel::cli
