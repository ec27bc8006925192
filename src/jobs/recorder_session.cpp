// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/recorder_session.h"

#include <cctype>

#include "base/paths.h"
#include "base/text_format.h"
#include "burn/burn_dialog_state.h"
#include "base/translation.h"
#include "burn/disc_library.h"
#include "burn/erase_sequence.h"
#include "burn/medium_view.h"
#include "platform/foxburner/foxburner_ext.h"
#include "project/app_settings.h"

namespace vantrel {
namespace {

constexpr const char* kInitFailure =
    N_("\r\n无法初始化驱动器，请查阅帮助文件或联系我们来解决此问题。\n");

}  // namespace

RecorderSession::RecorderSession(BurnFrontEnd& ui, const AppSettings& settings, bool log) : ui_(ui) {
  MakeFolder(settings.temppath);
  ownsLibrary_ = IsInitialized() == 0;
  if (ownsLibrary_) OpenDiscLibrary(ui, ImageRecorderList(settings.temppath, settings.IniPath()), Tr(kInitFailure));
  log = log && ownsLibrary_;
  char names[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE] = {};
  int32_t count = 0;
  if (!ReportResult(GetDevices(names, &count, 1), ui, false)) return;
  for (int i = 0; i < count; ++i) {
    devices_.emplace_back(names[i]);
    if (log) ui.ShowStatus(Format(Tr("查找驱动器 [%s]"), ShownDeviceName(devices_.back()).c_str()), 0, 4, 1);
  }
}

RecorderSession::~RecorderSession() {
  if (ownsLibrary_) CloseDiscLibrary();
}

char RecorderSession::Choose(const std::string& letter, std::string& why) {
  if (devices_.empty()) {
    ui_.ShowMessage(Tr("找不到 DVD 刻录机。"));
    why = "no recorder was found";
    return 0;
  }
  if (letter.empty()) return devices_.front()[0];
  for (const std::string& name : devices_)
    if (letter.size() == 1 && std::toupper((unsigned char)letter[0]) == name[0]) return name[0];
  why = "no device has the letter " + letter;
  return 0;
}

JobResult WriteToRecorder(BurnFrontEnd& ui, const WriteRequest& request, const std::atomic<bool>& cancel,
                          std::atomic<WriteStart>* started) {
  MediumView medium = ReadMedium(request.deviceLetter);
  if (medium.result != 0 && medium.result != FB_ERR_NO_MEDIUM) {
    // The recorder refuses the write at its start (another program holds it), as a refused
    // Burn does: the same note, and a front end offers the folder burn as the way on.
    ReportResult(medium.result, ui, true);
    ui.ShowMessage(kWrongMediumMessage);
    if (started) *started = WriteStart::BurnFailed;
    return JobFailed(LibraryText(medium.result));
  }
  if (std::string refusal = MediumRefusal(medium); !refusal.empty()) {
    ui.ShowStatus(refusal, 0, 1, 3);
    return JobFailed(refusal);
  }
  switch (WrittenMediumRule(medium)) {
    case WrittenMedium::Blank: break;
    case WrittenMedium::Refuse:
      ui.ShowMessage(kWrongMediumMessage);
      return JobFailed("the " + medium.typeText + " in the recorder already holds a disc and cannot be rewritten");
    case WrittenMedium::AskFirst:
      // What the medium holds is lost by the write, as by an erase: the same question.
      if (!ui.AskYesNo(EraseQuestion(medium.typeText))) {
        ui.ShowStatus(Tr("被用户取消"), 0, 1, 2);
        return JobFailed("the " + medium.typeText + " in the recorder holds a disc; overwriting it was declined");
      }
      break;
  }
  RecorderWrite write(ui);
  write.RegisterCallbacks();
  const WriteStart start = write.Start(request);
  if (started) *started = start;
  switch (start) {
    case WriteStart::NotStarted:
    case WriteStart::Started: break;
    case WriteStart::Declined: return JobFailed("the folder is larger than a disc and the write was declined");
    case WriteStart::SetupFailed: return JobFailed("the write could not be set up");
    case WriteStart::BurnFailed: return JobFailed("the recorder refused the write");
  }
  bool cancelled = false;
  while (!write.WaitDone(100)) {
    if (cancel.load() && !cancelled) {
      write.CancelNow();
      cancelled = true;
    }
  }
  if (cancelled || cancel.load()) return {false, true, "the write was cancelled"};
  if (!write.Succeeded()) return JobFailed(write.DoneText());
  return JobSucceeded();
}

}  // namespace vantrel
