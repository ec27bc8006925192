// SPDX-License-Identifier: GPL-3.0-or-later
// The component headers come before the toolkit's, which define TRUE and FALSE as macros.
#include "burn/hosted_conversion_control.h"
#include "base/translation.h"
#include "burn/ui/burn_dialog.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/bmpcbox.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/thread.h>
#include <wx/utils.h>

#include <atomic>

#include "menu/ui/deferred_handler.h"
#include "menu/ui/wx_text.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "burn/desktop_handlers.h"
#include "burn/disc_library.h"
#include "burn/ui/burn_folder_dialog.h"
#include "burn/ui/colour_list_box.h"
#include "burn/ui/erase_front_end.h"
#include "burn/ui/gui_job_observer.h"
#include "burn/ui/message_front_end.h"
#include "burn/ui/pumped_wait.h"
#include "jobs/authoring_job.h"
#include "jobs/erase_job.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"

namespace vantrel {
namespace {

// The toolkit's calls for the list's text cells, which wx does not wrap.
extern "C" {
struct GListNode {
  void* data;
  GListNode* next;
  GListNode* prev;
};
GListNode* gtk_cell_layout_get_cells(void* layout);
void g_list_free(GListNode* list);
unsigned long gtk_cell_renderer_text_get_type(void);
int g_type_check_instance_is_a(void* instance, unsigned long type);
void g_object_set(void* object, const char* first, ...);
}

// A recorder's name longer than the list ends in "…" instead of losing its beginning (the
// letter and the kind of recorder) to the list's edge.
void EllipsizeEntries(wxWindow* list) {
  void* combo = list->GetHandle();
  if (!combo) return;
  GListNode* cells = gtk_cell_layout_get_cells(combo);
  constexpr int kEllipsizeEnd = 3;  // PANGO_ELLIPSIZE_END
  for (GListNode* cell = cells; cell; cell = cell->next)
    if (g_type_check_instance_is_a(cell->data, gtk_cell_renderer_text_get_type()))
      g_object_set(cell->data, "ellipsize", kEllipsizeEnd, "ellipsize-set", 1, nullptr);
  g_list_free(cells);
}

}  // namespace
namespace {

std::atomic<CBurnDlg*> gOpenBurnDialog{nullptr};

void TraceHook(void*) {}

}  // namespace

CBurnDlg* OpenBurnDialog() { return gOpenBurnDialog.load(); }

CBurnDlg::CBurnDlg(wxWindow* parent, AppSettings& settings, MenuModel& model, const TitleList& titles)
    : wxDialog(parent, 132, U("刻录光盘")), settings_(settings), model_(model), titles_(titles),
      runTimer_(this, kRunTimer) {
  BuildControls();
  gOpenBurnDialog = this;
  // The work folder holds the image-file recorder the list offers first; a folder that is
  // not there yet would make that recorder refuse the choice ("not support") on opening.
  MakeFolder(settings_.temppath);
  const std::string recorders = ImageRecorderList(settings_.temppath, settings_.IniPath());
  const int rc = PumpedWait([&recorders] { return Initialize(recorders.c_str(), 1); });
  if (rc != 0)
    ShowNoteBox(this, Tr("驱动器无法初始化...联系支持！\n") + Format(Tr("错误: %s"), LibraryText(rc).c_str()), false);
  SetASPI(1);
  LoadDriveCombo();
  // The hosted conversion control: without the registered component the dialog opens
  // all the same, as nothing of a run uses the control.
  conversionControl_ = std::make_unique<HostedConversionControl>();
  conversionControl_->Create();
  progress_->SetRange(100);
  progress_->SetValue(0);
  // Writes and erases run as the core's jobs, which take the library's callbacks for
  // their time.
  SetFinalizeEventCallback(TraceHook, this);
  Bind(wxEVT_TIMER, &CBurnDlg::OnTick, this, kRunTimer);
  Bind(wxEVT_CLOSE_WINDOW, &CBurnDlg::OnClose, this);
  // Esc while a build or a write runs asks to stop it, as the close box does (Close is
  // greyed then, so the dialog's own Esc would do nothing).
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && Busy())
      CallAfter([this] { RequestClose(); });
    else
      event.Skip();
  });
  CentreOnParent();
}

CBurnDlg::~CBurnDlg() {
  runTimer_.Stop();
  // Nothing more comes to this dialog, and a question still open is answered No; a write
  // still running is stopped rather than left writing for nobody; the run's and the
  // erase's threads are waited for.
  if (jobLink_) jobLink_->Detach();
  if (job_ && job_->Writing()) job_->Cancel();
  job_.reset();
  eraseJob_.reset();
  SetFinalizeEventCallback(nullptr, nullptr);
  CloseDiscLibrary();
  gOpenBurnDialog = nullptr;
}

void CBurnDlg::BuildControls() {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* targetRow = new wxBoxSizer(wxHORIZONTAL);
  targetList_ = new wxBitmapComboBox(this, kTargets, "", wxDefaultPosition, wxSize(320, -1), 0,
                                     nullptr, wxCB_READONLY);
  targetList_->SetName(U("刻录目标"));
  EllipsizeEntries(targetList_);
  targetRow->Add(targetList_, 1, wxRIGHT, 6);
  refresh_ = new wxButton(this, kRefresh, U("刷新"));
  targetRow->Add(refresh_, 0, wxRIGHT, 6);
  erase_ = new wxButton(this, kErase, U("擦除"));
  targetRow->Add(erase_);
  top->Add(targetRow, 0, wxEXPAND | wxALL, 8);
  auto* mediumRow = new wxBoxSizer(wxHORIZONTAL);
  typeLabel_ = new wxStaticText(this, kMediumType, "DVD+RW", wxDefaultPosition, wxSize(160, -1));
  typeLabel_->SetName(U("光盘类型"));
  sizeLabel_ = new wxStaticText(this, kSize, U("无效"), wxDefaultPosition, wxSize(160, -1));
  sizeLabel_->SetName(U("光盘容量"));
  mediumRow->Add(typeLabel_, 0, wxRIGHT, 12);
  mediumRow->Add(sizeLabel_);
  top->Add(mediumRow, 0, wxLEFT | wxRIGHT, 8);
  auto* logBox = new wxStaticBoxSizer(wxVERTICAL, this, U("事件日志"));
  log_ = new CColourListBox(logBox->GetStaticBox(), kLog);
  logBox->Add(log_, 1, wxEXPAND | wxALL, 4);
  top->Add(logBox, 1, wxEXPAND | wxALL, 8);
  status_ = new wxStaticText(this, kStatus, U("创建 DVD 处理..."), wxDefaultPosition, wxSize(420, -1),
                             wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
  status_->SetName(U("状态"));
  top->Add(status_, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
  auto* progressRow = new wxBoxSizer(wxHORIZONTAL);
  progress_ = new wxGauge(this, kProgress, 100, wxDefaultPosition, wxSize(320, 18));
  progress_->SetName(U("进度"));
  elapsed_ = new wxStaticText(this, kElapsed, "", wxDefaultPosition, wxSize(80, -1));
  elapsed_->SetName(U("已用时间"));
  progressRow->Add(progress_, 1, wxRIGHT | wxALIGN_CENTER_VERTICAL, 8);
  progressRow->Add(elapsed_, 0, wxALIGN_CENTER_VERTICAL);
  top->Add(progressRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);
  jobProgress_ = new wxStaticText(this, kJobProgress, "", wxDefaultPosition, wxSize(420, -1),
                                  wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
  jobProgress_->SetName(U("整体进度"));
  top->Add(jobProgress_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  openFolder_ = new wxButton(this, kOpenFolder, U("打开文件夹"));
  playDisc_ = new wxButton(this, kPlayDisc, U("播放光盘"));
  openFolder_->Hide();
  playDisc_->Hide();
  buttons->Add(openFolder_, 0, wxRIGHT, 6);
  buttons->Add(playDisc_);
  buttons->AddStretchSpacer();
  start_ = new wxButton(this, kStart, U("开始"));
  start_->Disable();
  close_ = new wxButton(this, wxID_CANCEL, U("关闭"));
  buttons->Add(start_, 0, wxRIGHT, 6);
  buttons->Add(close_);
  top->Add(buttons, 0, wxEXPAND | wxALL, 8);
  SetSizerAndFit(top);
  // Recorders show image 0, the work folder image 1.
  // A choice reads the medium and may show a note: it runs after the pick has returned.
  targetList_->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { CallAfter([this] { OnSelchangeComboDrives(); }); });
  refresh_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CallAfter([this] { LoadDriveCombo(); }); });
  erase_->Bind(wxEVT_BUTTON, Deferred(this, &CBurnDlg::OnErase));
  start_->Bind(wxEVT_BUTTON, Deferred(this, &CBurnDlg::OnStartButton));
  openFolder_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    OpenInDesktop(JoinPath(settings_.temppath, "DVD"));
  });
  playDisc_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    PlayVideoTs(JoinPath(JoinPath(settings_.temppath, "DVD"), "VIDEO_TS"));
  });
}

const EventLog& CBurnDlg::Log() const { return log_->Log(); }

void CBurnDlg::AddLogLine(int kind, const std::string& text) { log_->AddLine(kind, text); }

void CBurnDlg::ShowStatus(const std::string& text, int position, int mode, int kind) {
  OnLine({text, mode, kind});
  if (mode == kStatusLogAndProgress || mode == kStatusProgress) progress_->SetValue(std::clamp(position, 0, progress_->GetRange()));
}

void CBurnDlg::OnLine(const JobLine& line) {
  switch (line.mode) {
    case kStatusLogAndProgress:
    case kLogThenStatus:
      AddLogLine(line.kind, line.text);
      status_->SetLabel(U(line.text));
      break;
    case kStatusProgress:
      status_->SetLabel(U(line.text));
      break;
    case kStatusThenLog:
      status_->SetLabel(U(line.text));
      AddLogLine(line.kind, line.text);
      break;
    default:
      break;
  }
}

void CBurnDlg::OnProgress(const JobProgress& progress) {
  // One bar for the whole job: the job never reports less than before.
  progress_->SetValue(std::clamp(int(progress.done * progress_->GetRange()), 0, progress_->GetRange()));
  jobProgress_->SetLabel(U(ProgressText(progress)));
  // Start becomes the write's cancel once the run goes on to the recorder.
  if (progress.writing && job_ && !writeShown_ && !stopping_) {
    writeShown_ = true;
    start_->SetLabel(U("取消刻录"));
    start_->Enable();
  }
}

void CBurnDlg::OnQuestion(const JobQuestion& question, AnswerFunction answer) {
  if (question.IsNote()) {
    ShowMessage(question.text);
    answer(0);
    return;
  }
  answer(AskYesNo(question.text) ? kAnswerYes : kAnswerNo);
}

void CBurnDlg::OnEnd(const JobResult&) { FinishRun(); }

void CBurnDlg::SetProgressRange(int low, int high) {
  // A gauge counts from 0: the range's low end is its zero.
  progress_->SetRange(std::max(1, high - low));
}

void CBurnDlg::SetProgress(int position) { progress_->SetValue(std::clamp(position, 0, progress_->GetRange())); }

void CBurnDlg::StartRunTimer() { runTimer_.Start(1000); }

void CBurnDlg::StopRunTimer() { runTimer_.Stop(); }

bool CBurnDlg::AskYesNo(const std::string& text) { return AskYesNoBox(this, text, RunQuestionStyle(text)); }

void CBurnDlg::ShowMessage(const std::string& text) { ShowNoteBox(this, text, RunNoteStyle(text)); }

void CBurnDlg::EnableRunControls(bool on) {
  targetList_->Enable(on);
  start_->Enable(on);
  close_->Enable(on);
  refresh_->Enable(on);
  erase_->Enable(on);
}

void CBurnDlg::LoadDriveCombo() {
  targetList_->Clear();
  char names[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE] = {};
  int32_t count = 0;
  PumpedWait([&names, &count] { return GetDevices(names, &count, 1); });
  std::vector<std::string> devices;
  for (int i = 0; i < count && i < FB_DEVICE_COUNT; ++i) devices.emplace_back(names[i]);
  targets_.Load(devices, settings_.temppath);
  const wxBitmap icons[2] = {wxArtProvider::GetBitmap(wxART_CDROM, wxART_OTHER, wxSize(16, 16)),
                             wxArtProvider::GetBitmap(wxART_HARDDISK, wxART_OTHER, wxSize(16, 16))};
  for (const DeviceEntry& entry : targets_.Entries()) {
    targetList_->Append(U(entry.IsWorkFolder() ? entry.name : ShownDeviceName(entry.name)), icons[entry.kind == DeviceEntry::kWorkFolder ? 1 : 0]);
    if (!entry.IsWorkFolder()) AddLogLine(1, Tr("查找驱动器 [") + ShownDeviceName(entry.name) + "]");
  }
  // No drive was found when only image files and the work folder are listed. There is no
  // driver to install here, so Yes leads to how recorders reach programs on this system.
  if (!targets_.HasRecorder() && AskYesNoBox(this, kNoRecorderQuestion, true))
    ShowNoteBox(this, kRecorderAccessNote);
  if (targets_.Entries().size() > 1) {
    targetList_->SetSelection(std::max(0, targets_.Current()));
    OnSelchangeComboDrives();
    return;
  }
  targetList_->SetSelection(0);
  targets_.Choose(0, true);
  RefreshMediumInfo();
}

void CBurnDlg::OnSelchangeComboDrives() {
  const int position = targetList_->GetSelection();
  if (position < 0 || position >= int(targets_.Entries().size())) return;
  const DeviceEntry& entry = targets_.Entries()[size_t(position)];
  AddLogLine(1, Tr("选择驱动器 [") + (entry.IsWorkFolder() ? entry.name : ShownDeviceName(entry.name)) + "]");
  bool usable = true;
  const char letter = entry.Letter();
  if (!entry.IsWorkFolder() && PumpedWait([letter] { return SetDevice(letter); }) != 0) {
    ShowNoteBox(this, "not support", false);
    usable = false;
  }
  targets_.Choose(position, usable);
  RefreshMediumInfo();
}

void CBurnDlg::RefreshMediumInfo() {
  MediumView view;
  const DeviceEntry* entry = targets_.CurrentEntry();
  if (entry && !entry->IsWorkFolder()) {
    const char letter = entry->Letter();
    ReportResult(PumpedWait([letter] { return SetDevice(letter); }), *this, true);
    MediumInfo info = PrefilledMediumInfo();
    const int rc = PumpedWait([&info] { return GetMediumInformation(&info); });
    view = ClassifyMedium(rc, info);
  }
  const TargetControls c = targets_.Refresh(view);
  if (c.typeChanged) typeLabel_->SetLabel(U(c.typeText));
  if (c.sizeChanged) sizeLabel_->SetLabel(U(c.sizeText));
  if (!c.refusal.empty()) AddLogLine(3, c.refusal);
  start_->Enable(c.startEnabled);
  erase_->Enable(c.eraseEnabled);
}

bool CBurnDlg::Burning() const { return job_ && job_->Writing(); }

void CBurnDlg::OnStartButton(wxCommandEvent&) {
  if (Burning())
    CancelWrite();
  else if (job_)
    StopRun();
  else
    StartRun();
}

void CBurnDlg::StartRun() {
  const DeviceEntry* chosen = targets_.CurrentEntry();
  if (!chosen) return;  // a refused device: nothing to write to
  runEntry_ = *chosen;
  OfferResult(false);
  EnableRunControls(false);
  // Start becomes the way to stop the build.
  closeWhenStopped_ = stopping_ = writeShown_ = false;
  start_->SetLabel(U(kStopRunButton));
  start_->Enable();
  // The build works on the job's own thread while this dialog's event loop goes on; its
  // lines, progress, questions and end come here through the job's link.
  progress_->SetRange(100);
  progress_->SetValue(0);
  jobProgress_->SetLabel("");
  StartRunTimer();
  AuthoringOptions options;
  options.settings = settings_;
  options.choices = model_.Choices();
  // A recorder's run goes on to the write, with the medium's checks, in the job.
  if (!runEntry_.IsWorkFolder()) options.recorder = std::string(1, runEntry_.Letter());
  // The job works on its own copy: the titles may change while it runs.
  jobLink_ = std::make_unique<GuiJobObserver>(*this, *this);
  job_ = std::make_unique<AuthoringJob>(ProjectOf(titles_, settings_, model_.Appearance()), options, *jobLink_);
  job_->Start();
}

bool CBurnDlg::StopRun() {
  if (!job_ || stopping_) return false;
  if (!AskYesNoBox(this, kStopRunQuestion, true)) return false;
  if (!job_) return true;  // it ended while the question was open
  job_->Cancel();
  stopping_ = true;
  start_->Disable();
  status_->SetLabel(U("正在停止..."));
  return true;
}

void CBurnDlg::FinishRun() {
  stopping_ = false;
  start_->SetLabel(U("开始"));
  FinishRunSteps();
  CloseIfStopped();
}

void CBurnDlg::FinishRunSteps() {
  // The run's copy of the settings goes with the job; what the program keeps comes back.
  job_->SettingsChange().ApplyTo(settings_);
  const bool built = job_->Authored();
  const bool cancelled = job_->Result().cancelled;
  const std::string intermediate = job_->Folders().intermediate;
  const WriteStart writeStart = job_->WriteStartResult();
  job_.reset();
  jobLink_.reset();
  const DeviceEntry entry = runEntry_;

  if (entry.IsWorkFolder()) {
    EnableRunControls(true);
    erase_->Disable();
    if (!built) {
      // A stopped run leaves the work folder as the run's own stop left it.
      if (!cancelled) DeleteFolderTree(intermediate);
      StopRunTimer();
      return;
    }
    ClearClock();  // the job has logged "转换完成"
    OfferResult(true);
    return;
  }
  EnableRunControls(true);
  if (!built) {
    StopRunTimer();
    return;
  }
  switch (writeStart) {
    case WriteStart::NotStarted:
    case WriteStart::Declined:
      StopRunTimer();
      return;
    case WriteStart::SetupFailed:
    case WriteStart::Started:
      ClearClock();
      return;
    case WriteStart::BurnFailed: {
      // The recorder refused the write: the folder burn is the way on.
      ClearClock();
      CBurnFolderDlg folder(this, ImageRecorderList(settings_.temppath, settings_.IniPath()),
                            JoinPath(JoinPath(settings_.temppath, "DVD"), "VIDEO_TS"));
      folder.ShowModal();
      EndModal(0);
      return;
    }
  }
}

bool CBurnDlg::CancelWrite() {
  if (!Burning() || stopping_) return false;
  if (!AskYesNo(kCancelWriteQuestion)) return false;
  if (!job_) return true;  // it ended while the question was open
  job_->Cancel();
  stopping_ = true;
  ClearClock();
  start_->SetLabel(U("开始"));
  // The library winds the write down on its own thread; until the job has ended neither
  // a new write nor closing (which shuts the library down under the running write) is
  // offered.
  start_->Disable();
  close_->Disable();
  return true;
}

void CBurnDlg::RequestClose() {
  if (eraseJob_) {
    // An erase cannot be stopped: the dialog closes once it has ended.
    closeWhenStopped_ = true;
    return;
  }
  switch (CloseStepFor(job_ != nullptr, Burning(), stopping_)) {
    case CloseStep::Close:
      EndModal(wxID_CANCEL);
      return;
    case CloseStep::AskStopRun:
      closeWhenStopped_ = StopRun();
      break;
    case CloseStep::AskCancelWrite:
      closeWhenStopped_ = CancelWrite();
      break;
    case CloseStep::WaitForStop:
      closeWhenStopped_ = true;
      break;
  }
  CloseIfStopped();
}

void CBurnDlg::CloseIfStopped() {
  if (closeWhenStopped_ && !Busy() && IsModal()) EndModal(wxID_CANCEL);
}

void CBurnDlg::OnErase(wxCommandEvent&) {
  const DeviceEntry* entry = targets_.CurrentEntry();
  if (!entry || entry->IsWorkFolder() || Busy()) return;
  // The erase job applies the medium's rules (a blank medium is only reported) and asks
  // its question through the erase dialog.
  EraseRequest request;
  request.device = std::string(1, entry->Letter());
  request.quick = false;  // the erase dialog's box decides, its question asked there
  request.settings = settings_;
  eraseFrontEnd_ = std::make_unique<EraseFrontEnd>(*this, [this] { FinishErase(); });
  jobLink_ = std::make_unique<GuiJobObserver>(*this, *eraseFrontEnd_);
  eraseJob_ = std::make_unique<EraseJob>(request, *jobLink_);
  EnableRunControls(false);
  eraseJob_->Start();
}

void CBurnDlg::FinishErase() {
  eraseFrontEnd_->JobEnded([this] {
    // Only an erase that happened changes what the list shows: a blank medium was only told
    // of, and a declined or failed erase left the medium as it was.
    const bool erased = eraseJob_->Result().succeeded && !eraseJob_->WasBlank();
    eraseJob_.reset();
    jobLink_.reset();
    eraseFrontEnd_.reset();
    EnableRunControls(true);
    if (erased) LoadDriveCombo();
    CloseIfStopped();
  });
}

void CBurnDlg::OnTick(wxTimerEvent&) {
  ++elapsedSeconds_;
  elapsed_->SetLabel(ElapsedText(elapsedSeconds_));
}

void CBurnDlg::ClearClock() {
  elapsed_->SetLabel("");
  runTimer_.Stop();
  elapsedSeconds_ = 0;
}

void CBurnDlg::OfferResult(bool show) {
  const DesktopHandlers can = show ? handlers_.get() : DesktopHandlers{};
  openFolder_->Show(can.openFolders);
  playDisc_->Show(can.playVideoTs);
  Layout();
}

std::int64_t CBurnDlg::Aside(const std::function<std::int64_t()>& step) { return PumpedWait(step); }

void CBurnDlg::OnClose(wxCloseEvent& event) {
  // While a run or a write is going the dialog stays until it has been stopped: the
  // question comes after the close request has returned.
  if (Busy() && event.CanVeto()) {
    event.Veto();
    CallAfter([this] { RequestClose(); });
    return;
  }
  event.Skip();
}

}  // namespace vantrel
