// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/title_loading_window.h"

#include <atomic>
#include <deque>
#include <exception>
#include <thread>

// The core's headers come before wx's: the toolkit defines TRUE and FALSE as macros.
#include "base/log.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "platform/com/runtime.h"

#include "app/app_windows.h"
#include "app/wx_text.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace vantrel::app {
namespace {

constexpr int kLoadingTextId = 1021;

class LoadingWindow : public wxDialog {
 public:
  LoadingWindow(wxWindow* parent, const TitleNoticeShower& show)
      : wxDialog(parent, wxID_ANY, U("正在载入文件"), wxDefaultPosition, wxDefaultSize, wxCAPTION), show_(show) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    text_ = new wxStaticText(this, kLoadingTextId, U(kCheckingFilesText), wxDefaultPosition, wxSize(300, -1));
    sizer->Add(text_, 0, wxALL | wxEXPAND, 16);
    stopButton_ = new wxButton(this, wxID_CANCEL, U("取消"));
    sizer->Add(stopButton_, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 16);
    SetSizerAndFit(sizer);
    PrepareDialog(this);
    CentreOnParent();
    // Esc and 取消 stop the loading; the window itself goes only when the worker is done.
    SetEscapeId(wxID_NONE);
    stopButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Stop(); });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
      if (event.GetKeyCode() == WXK_ESCAPE) Stop(); else event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
      Stop();
      if (event.CanVeto()) event.Veto();
    });
  }

  // On the window's thread.
  void ShowLoading(const std::string& text) {
    if (!stopped_) text_->SetLabel(U(text));
  }
  void Tell(TitleLoadingNotice notice) {
    notices_.push_back(std::move(notice));
    TellPending();
  }
  void Finish() {
    finished_ = true;
    if (!telling_) EndModal(wxID_OK);
  }
  bool Stopped() const { return stopped_; }

 private:
  void Stop() {
    if (stopped_.exchange(true)) return;
    stopButton_->Disable();
    text_->SetLabel(U("正在停止..."));
  }
  // One message at a time: a notice that comes while another is open waits for it.
  void TellPending() {
    if (telling_) return;
    telling_ = true;
    while (!notices_.empty()) {
      const TitleLoadingNotice notice = notices_.front();
      notices_.pop_front();
      show_(this, notice);
    }
    telling_ = false;
    if (finished_) EndModal(wxID_OK);
  }

  const TitleNoticeShower& show_;
  wxStaticText* text_ = nullptr;
  wxButton* stopButton_ = nullptr;
  std::deque<TitleLoadingNotice> notices_;
  bool telling_ = false, finished_ = false;
  std::atomic<bool> stopped_{false};
};

// The worker's report: every call is queued to the window's thread.
class QueuedReport : public TitleLoadingReport {
 public:
  explicit QueuedReport(LoadingWindow& window) : window_(window) {}
  void OnLoading(int k, int count) override {
    std::string text = Format(Tr("正在载入文件... (%d / %d)"), k, count);
    window_.CallAfter([this, text] { window_.ShowLoading(text); });
  }
  void OnRefused(const std::string& path, const std::string& reason) override {
    window_.CallAfter([this, path, reason] { window_.Tell({path, reason}); });
  }
  void OnDecoderMissing(const std::string& path) override {
    window_.CallAfter([this, path] { window_.Tell({path, ""}); });
  }
  bool Stopped() const override { return window_.Stopped(); }

 private:
  LoadingWindow& window_;
};

}  // namespace

std::vector<LoadedTitle> LoadTitlesWithProgress(wxWindow* parent, ThumbnailOwner& owner,
                                                const std::vector<TitleFileRequest>& files, int firstRow,
                                                const TitleCheck& check, const TitleNoticeShower& show) {
  LoadingWindow window(parent, show);
  QueuedReport report(window);
  std::vector<LoadedTitle> loaded;
  // The window ends only on the worker's last call, queued after all of its others, so no
  // call of the worker is left to reach the window once it is gone.
  std::thread worker([&] {
    try {
      com::ScopedCoInitialize components;
      loaded = LoadTitleFiles(owner, files, firstRow, check, report);
    } catch (const std::exception& error) {
      LogWarning(Format(Tr("载入文件时出错: %s"), error.what()));
    }
    window.CallAfter([&window] { window.Finish(); });
  });
  window.ShowModal();
  worker.join();
  return loaded;
}

}  // namespace vantrel::app
