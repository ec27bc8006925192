// SPDX-License-Identifier: GPL-3.0-or-later
// CBurnDlg "刻录光盘": the dialog in which a run happens. The user picks a recorder or the
// work folder, presses Start, and watches the build (and the write) in the event log, the
// status line, the whole job's progress and the elapsed-time clock. It is the view of the
// jobs it starts: their calls come onto its thread through a GuiJobObserver.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <future>
#include <memory>
#include <string>

#include "burn/burn_dialog_state.h"
#include "burn/burn_front_end.h"
#include "burn/desktop_handlers.h"
#include "jobs/job_observer.h"

class wxBitmapComboBox;
class wxButton;
class wxGauge;
class wxStaticText;

namespace vantrel {

class AuthoringJob;
class EraseFrontEnd;
class EraseJob;
class GuiJobObserver;
class HostedConversionControl;
class CColourListBox;
class MenuModel;
class TitleList;
struct AppSettings;

class CBurnDlg : public wxDialog, public BurnFrontEnd, public JobObserver {
 public:
  enum {
    kTargets = 1014, kSize = 1057, kMediumType = 1061, kLog = 1070, kStart = 1002,
    kRefresh = 1071, kErase = 1016, kStatus = 1017, kProgress = 1019, kElapsed = 1092,
    kRunTimer = 1001, kOpenFolder = 1201, kPlayDisc = 1202, kJobProgress = 1203
  };

  CBurnDlg(wxWindow* parent, AppSettings& settings, MenuModel& model, const TitleList& titles);
  ~CBurnDlg() override;

  // RunStatus and RunQuestion of the dialog's own steps (the library's devices), on its thread.
  void ShowStatus(const std::string& text, int position, int mode, int kind) override;
  void SetProgressRange(int low, int high) override;
  void SetProgress(int position) override;
  void StartRunTimer() override;
  void StopRunTimer() override;
  bool AskYesNo(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  // Runs the step on a thread of its own while this dialog's event loop goes on.
  std::int64_t Aside(const std::function<std::int64_t()>& step) override;

  // The running job's calls, on the dialog's thread.
  void OnLine(const JobLine& line) override;
  void OnProgress(const JobProgress& progress) override;
  void OnQuestion(const JobQuestion& question, AnswerFunction answer) override;
  void OnEnd(const JobResult& result) override;

  void AddLogLine(int kind, const std::string& text);
  void EnableRunControls(bool on);
  // The run has gone on to the write of its folder to the recorder.
  bool Burning() const;
  // A run, a write or an erase is in progress.
  bool Busy() const { return job_ != nullptr || eraseJob_ != nullptr; }
  const EventLog& Log() const;

 private:
  void BuildControls();
  void LoadDriveCombo();
  void OnSelchangeComboDrives();
  void RefreshMediumInfo();
  void OnStartButton(wxCommandEvent& event);
  void StartRun();
  // Asks, then stops the build; true when it was asked to stop.
  bool StopRun();
  void FinishRun();
  void FinishRunSteps();
  // Asks, then cancels the write; true when it was cancelled.
  bool CancelWrite();
  // The close box and Esc: a running build or write is stopped first (after its question)
  // and the dialog closes once it has ended.
  void RequestClose();
  void CloseIfStopped();
  void OnErase(wxCommandEvent& event);
  void FinishErase();
  void OnTick(wxTimerEvent& event);
  void ClearClock();
  void OfferResult(bool show);
  void OnClose(wxCloseEvent& event);

  AppSettings& settings_;
  MenuModel& model_;
  const TitleList& titles_;
  BurnTargets targets_;
  std::unique_ptr<GuiJobObserver> jobLink_;  // the running job's route to this dialog
  std::unique_ptr<AuthoringJob> job_;  // the start run (and its write) while in progress
  std::unique_ptr<EraseFrontEnd> eraseFrontEnd_;
  std::unique_ptr<EraseJob> eraseJob_;  // the erase while in progress
  DeviceEntry runEntry_;                // the target it was started for
  bool writeShown_ = false;             // Start has become the write's cancel
  bool stopping_ = false;               // a stopped build or write has not ended yet
  bool closeWhenStopped_ = false;       // a close waits for that end
  int elapsedSeconds_ = 0;
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
  wxStaticText* jobProgress_ = nullptr;  // the step, title k of n, the time left
  wxStaticText* elapsed_ = nullptr;
  wxTimer runTimer_;
  // Whether the desktop can open the finished folder and play it, asked when the dialog
  // opens; ready long before a run ends.
  std::shared_future<DesktopHandlers> handlers_ = AskDesktopHandlers();
};

// The open burn dialog (nullptr when none).
CBurnDlg* OpenBurnDialog();

}  // namespace vantrel
