// SPDX-License-Identifier: GPL-3.0-or-later
// CBurnDlg "刻录光盘": the dialog in which a run happens. The user picks a recorder or the
// work folder, presses Start, and watches the build (and the write) in the event log, the
// status line, the progress bar and the elapsed-time clock. It is the run's status display
// and question answerer while it is open.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <memory>
#include <string>

#include "burn/burn_dialog_state.h"
#include "burn/burn_front_end.h"
#include "burn/recorder_write.h"

class wxBitmapComboBox;
class wxButton;
class wxGauge;
class wxStaticText;

namespace vantrel {

class AuthoringJob;
class HostedConversionControl;
class CColourListBox;
class CEraseDiscDlg;
class MenuModel;
class TitleList;
struct AppSettings;

class CBurnDlg : public wxDialog, public BurnFrontEnd {
 public:
  enum {
    kTargets = 1014, kSize = 1057, kMediumType = 1061, kLog = 1070, kStart = 1002,
    kRefresh = 1071, kErase = 1016, kStatus = 1017, kProgress = 1019, kElapsed = 1092,
    kRunTimer = 1001, kOpenFolder = 1201, kPlayDisc = 1202, kJobWatch = 1203
  };

  CBurnDlg(wxWindow* parent, AppSettings& settings, MenuModel& model, const TitleList& titles);
  ~CBurnDlg() override;

  // RunStatus and RunQuestion: callable from any thread; the window is touched only on its
  // own thread (other threads post).
  void ShowStatus(const std::string& text, int position, int mode, int kind) override;
  void SetProgressRange(int low, int high) override;
  void SetProgress(int position) override;
  void StartRunTimer() override;
  void StopRunTimer() override;
  bool AskYesNo(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  // Runs the step on a thread of its own while this dialog's event loop goes on.
  std::int64_t Aside(const std::function<std::int64_t()>& step) override;

  void AddLogLine(int kind, const std::string& text);
  void EnableRunControls(bool on);
  bool Burning() const { return recorder_.Burning(); }
  // A run or a write is in progress.
  bool Busy() const { return job_ != nullptr || recorder_.Burning() || writePending_; }
  const EventLog& Log() const;

  // The library's callbacks, already on the dialog's thread.
  void OnBurnDone(const std::string& text);
  void OnEraseDone(const std::string& text);

 private:
  void BuildControls();
  void LoadDriveCombo();
  void OnSelchangeComboDrives();
  void RefreshMediumInfo();
  void OnStartButton(wxCommandEvent& event);
  void StartRun();
  void OnJobWatch(wxTimerEvent& event);
  void FinishRun();
  void CancelWrite();
  void OnErase(wxCommandEvent& event);
  void OnTick(wxTimerEvent& event);
  void ClearClock();
  void OfferResult(bool show);
  void OnClose(wxCloseEvent& event);

  AppSettings& settings_;
  MenuModel& model_;
  const TitleList& titles_;
  BurnTargets targets_;
  RecorderWrite recorder_;
  std::unique_ptr<AuthoringJob> job_;  // the start run while it is in progress
  DeviceEntry runEntry_;                // the target it was started for
  bool writePending_ = false;           // a started write whose done callback has not come
  int elapsedSeconds_ = 0;
  CEraseDiscDlg* eraseDialog_ = nullptr;
  std::unique_ptr<HostedConversionControl> conversionControl_;  // item 1114

  wxBitmapComboBox* targetList_ = nullptr;
  wxStaticText* sizeLabel_ = nullptr;
  wxStaticText* typeLabel_ = nullptr;
  CColourListBox* log_ = nullptr;
  wxButton* start_ = nullptr;
  wxButton* close_ = nullptr;
  wxButton* refresh_ = nullptr;
  wxButton* erase_ = nullptr;
  wxButton* openFolder_ = nullptr;
  wxButton* playDisc_ = nullptr;
  wxStaticText* status_ = nullptr;
  wxGauge* progress_ = nullptr;
  wxStaticText* elapsed_ = nullptr;
  wxTimer runTimer_;
  wxTimer jobWatch_;
};

// The open burn dialog (nullptr when none).
CBurnDlg* OpenBurnDialog();

}  // namespace vantrel
