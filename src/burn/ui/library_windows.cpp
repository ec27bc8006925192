// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/library_windows.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <atomic>
#include <functional>
#include <thread>

#include "base/translation.h"
#include "menu/ui/wx_text.h"
#include "burn/disc_library.h"
#include "burn/medium_view.h"
#include "platform/foxburner/foxburner_ext.h"

namespace vantrel {
namespace {


class LibraryWindow : public wxDialog {
 public:
  LibraryWindow(wxWindow* parent, const std::string& title, const std::string& drive, bool erase)
      : wxDialog(parent, wxID_ANY, U(title)), erase_(erase) {
    MediumInfo info = PrefilledMediumInfo();
    const MediumView medium = ClassifyMedium(GetMediumInformation(&info), info);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new wxStaticText(this, wxID_ANY, U("驱动器: ") + U(drive)), 0, wxALL, 8);
    top->Add(new wxStaticText(this, wxID_ANY, U("光盘: ") + U(medium.typeText.empty() ? U("未知") : medium.typeText)),
             0, wxLEFT | wxRIGHT, 8);
    state_ = new wxStaticText(this, wxID_ANY, erase ? U("正在擦除光盘...") : U("正在写入光盘..."),
                              wxDefaultPosition, wxSize(360, -1));
    state_->SetName(U("状态"));
    top->Add(state_, 0, wxEXPAND | wxALL, 8);
    gauge_ = new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, wxSize(360, 18));
    top->Add(gauge_, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    button_ = new wxButton(this, wxID_CANCEL, U("取消"));
    top->Add(button_, 0, wxALIGN_RIGHT | wxALL, 8);
    SetSizerAndFit(top);
    SetEscapeId(wxID_NONE);
    button_->Bind(wxEVT_BUTTON, &LibraryWindow::OnButton, this);
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
      if (running_ && e.CanVeto()) e.Veto();
      else EndModal(wxID_OK);
    });
    CentreOnParent();
  }

  // From the host (any thread): only posted to the window.
  void PostProgress(float percent) {
    CallAfter([this, percent] {
      if (erase_) gauge_->Pulse();
      else gauge_->SetValue(std::clamp(int(percent), 0, 100));
    });
  }
  void PostClosed(const std::string& error) {
    CallAfter([this, error] {
      running_ = false;
      if (error.empty()) {
        gauge_->SetValue(100);
        state_->SetLabel(erase_ ? U("擦除光盘成功完成！") : U("写入光盘成功完成！"));
      } else {
        state_->SetLabel(U(std::string(erase_ ? Tr("擦除光盘出错: ") : Tr("写入光盘出错: ")) + error));
      }
      button_->SetLabel(U("关闭"));
      Layout();
    });
  }

 private:
  void OnButton(wxCommandEvent&) {
    if (running_) {
      Abort();
      state_->SetLabel(U("正在取消..."));
      button_->Disable();
      return;
    }
    EndModal(wxID_OK);
  }

  bool erase_;
  std::atomic<bool> running_{true};
  wxStaticText* state_;
  wxGauge* gauge_;
  wxButton* button_;
};

void HostOpen(const char*, void*) {}
void HostProgress(float percent, void* self) { static_cast<LibraryWindow*>(self)->PostProgress(percent); }
void HostClose(const char* error, void* self) {
  static_cast<LibraryWindow*>(self)->PostClosed(error ? error : "");
}

int RunWindow(wxWindow* parent, const std::string& title, const std::string& drive, bool erase,
              const std::function<int()>& call) {
  LibraryWindow window(parent, title, drive, erase);
  FoxBurnerWindowHost host{HostOpen, HostProgress, HostClose, &window};
  SetWindowHost(&host);
  std::atomic<int> result{0};
  // The library's dialog call waits for its operation; it waits on its own thread so this
  // one keeps the window alive.
  std::thread caller([&] { result = call(); });
  window.ShowModal();
  caller.join();
  SetWindowHost(nullptr);
  return result;
}

}  // namespace

int RunLibraryBurnWindow(wxWindow* parent, const std::string& title, const std::string& drive) {
  return RunWindow(parent, title, drive, false, [title] { return BurnDialog(1, 1, title.c_str(), ""); });
}

int RunLibraryEraseWindow(wxWindow* parent, const std::string& title, const std::string& drive) {
  return RunWindow(parent, title, drive, true, [title] { return EraseDialog(title.c_str()); });
}

}  // namespace vantrel
