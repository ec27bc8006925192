// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/ui/burn_folder_dialog.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dirdlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "base/translation.h"
#include "burn/burn_dialog_state.h"
#include "menu/ui/deferred_handler.h"
#include "menu/ui/wx_text.h"
#include "base/app_folder.h"
#include "base/paths.h"
#include "burn/disc_library.h"
#include "burn/folder_write.h"
#include "burn/folder_burn_check.h"
#include "burn/ui/library_windows.h"
#include "burn/ui/pumped_wait.h"
#include "project/app_settings.h"

namespace vantrel {
namespace {


}  // namespace

CBurnFolderDlg::CBurnFolderDlg(wxWindow* parent, const std::string& imageRecorders, std::string folder,
                               HelpOpener help)
    : wxDialog(parent, 215, U("刻录 DVD 光盘")), ui_(this), help_(std::move(help)), folder_(std::move(folder)) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* deviceBox = new wxStaticBoxSizer(wxVERTICAL, this, U("CD/DVD 写入设备"));
  deviceList_ = new wxChoice(deviceBox->GetStaticBox(), kDevices, wxDefaultPosition, wxSize(380, -1));
  deviceList_->SetName(U("CD/DVD 写入设备"));
  deviceBox->Add(deviceList_, 0, wxEXPAND | wxALL, 4);
  top->Add(deviceBox, 0, wxEXPAND | wxALL, 8);
  auto* helpButton = new wxButton(this, kHelp, U("什么是已授权的视频 DVD 映象？"), wxDefaultPosition,
                            wxDefaultSize, wxBORDER_NONE);
  helpButton->SetFont(wxFontInfo(8).FaceName("Verdana").Underlined());
  helpButton->SetForegroundColour(*wxBLUE);
  top->Add(helpButton, 0, wxLEFT | wxRIGHT, 8);
  top->Add(new wxStaticText(this, wxID_ANY, U("VIDEO_TS 文件夹")), 0, wxLEFT | wxRIGHT | wxTOP, 8);
  auto* folderRow = new wxBoxSizer(wxHORIZONTAL);
  folderEdit_ = new wxTextCtrl(this, kFolder, "", wxDefaultPosition, wxSize(300, -1), wxTE_READONLY);
  folderEdit_->SetName(U("VIDEO_TS 文件夹"));
  folderRow->Add(folderEdit_, 1, wxRIGHT, 6);
  folderRow->Add(new wxButton(this, kBrowse, U("选择...")));
  top->Add(folderRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(new wxButton(this, kErase, U("擦除")));
  buttons->AddStretchSpacer();
  buttons->Add(new wxButton(this, kWrite, U("刻录")), 0, wxRIGHT, 6);
  buttons->Add(new wxButton(this, wxID_CLOSE, U("关闭")));
  top->Add(buttons, 0, wxEXPAND | wxALL, 8);
  SetSizerAndFit(top);
  wxDialog::Bind(wxEVT_BUTTON, Deferred(this, &CBurnFolderDlg::OnBrowse), kBrowse);
  wxDialog::Bind(wxEVT_BUTTON, Deferred(this, &CBurnFolderDlg::OnWrite), kWrite);
  wxDialog::Bind(wxEVT_BUTTON, Deferred(this, &CBurnFolderDlg::OnErase), kErase);
  wxDialog::Bind(wxEVT_BUTTON, Deferred(this, &CBurnFolderDlg::OnHelp), kHelp);
  deviceList_->Bind(wxEVT_CHOICE, &CBurnFolderDlg::OnDeviceChoice, this);
  wxDialog::Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, wxID_CLOSE);
  // Escape closes it as the title-bar button and Close do.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
    if (e.GetKeyCode() == WXK_ESCAPE) Close();
    else e.Skip();
  });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(wxID_CANCEL); });

  // The burn dialog may still hold the library when it hands a failed write over.
  CloseDiscLibrary();
  OpenDiscLibrary(ui_, imageRecorders, Tr("\r\n无法初始化驱动器，请查阅帮助文件或联系我们来解决此问题。\n"));
  FillDevices();
  SetAddFileEventCallback(nullptr, nullptr);
  SetBurnDoneEventCallback(nullptr, nullptr);
  SetProcessEventCallback(nullptr, nullptr);
  SetEraseDoneEventCallback(nullptr, nullptr);
  folderEdit_->ChangeValue(U(folder_));
  CentreOnParent();
}

CBurnFolderDlg::~CBurnFolderDlg() { CloseDiscLibrary(); }

void CBurnFolderDlg::FillDevices() {
  char names[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE] = {};
  int32_t count = 0;
  PumpedWait([&names, &count] { return GetDevices(names, &count, 1); });
  devices_.clear();
  for (int i = 0; i < count && i < FB_DEVICE_COUNT; ++i) devices_.emplace_back(names[i]);
  for (const std::string& name : devices_) deviceList_->Append(U(ShownDeviceName(name)));
  if (devices_.empty()) {
    ShowNoteBox(this, Tr("找不到 DVD 刻录机。"));
    return;
  }
  deviceList_->SetSelection(0);
  const char letter = devices_[0][0];
  ReportResult(PumpedWait([letter] { return SetDevice(letter); }), ui_, false);
}

// A different entry selects that recorder, so the write goes where the list shows.
void CBurnFolderDlg::OnDeviceChoice(wxCommandEvent&) {
  const int i = deviceList_->GetSelection();
  if (i < 0 || i >= int(devices_.size())) return;
  const char letter = devices_[size_t(i)][0];
  ReportResult(PumpedWait([letter] { return SetDevice(letter); }), ui_, false);
}

std::string CBurnFolderDlg::DriveName() const {
  const int i = deviceList_->GetSelection();
  return i >= 0 && i < int(devices_.size()) ? devices_[size_t(i)] : "";
}

void CBurnFolderDlg::OnBrowse(wxCommandEvent&) {
  const std::string last = ReadLastDir();
  // The browser starts at the folder chosen last time.
  wxDirDialog browser(this, U("选择一个存储图片的文件夹"), U(last), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (browser.ShowModal() != wxID_OK) return;
  const std::string path = browser.GetPath().utf8_string();
  WriteLastDir(path);
  std::string accepted;
  const bool valid = ValidateVideoTsFolder(path, accepted);
  folder_ = accepted;
  folderEdit_->ChangeValue(U(folder_));
  if (!valid) ShowNoteBox(this, kNotVideoTsFolder);
}

void CBurnFolderDlg::OnWrite(wxCommandEvent&) {
  folder_ = folderEdit_->GetValue().utf8_string();
  const bool go = PrepareFolderWrite(folder_, ui_);
  folderEdit_->ChangeValue(U(folder_));
  if (!go) return;
  ReportResult(RunLibraryBurnWindow(this, kBurnWindowTitle, DriveName()), ui_, false);
}

void CBurnFolderDlg::OnErase(wxCommandEvent&) {
  ReportResult(RunLibraryEraseWindow(this, kEraseWindowTitle, DriveName()), ui_, false);
}

void CBurnFolderDlg::OnHelp(wxCommandEvent&) {
  if (help_) {
    help_(kHelpPage);
    return;
  }
  wxLaunchDefaultBrowser(Plain("file://" + LocalisedFile(ApplicationFolder(), kHelpPage)));
}

}  // namespace vantrel
