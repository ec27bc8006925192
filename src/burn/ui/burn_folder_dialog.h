// SPDX-License-Identifier: GPL-3.0-or-later
// CBurnFolderDlg "刻录 DVD 光盘": writes an existing VIDEO_TS folder through the library's
// own writing window, after checking that the folder holds a DVD-Video image.
#pragma once

#include <wx/dialog.h>

#include <functional>
#include <string>
#include <vector>

#include "burn/ui/message_front_end.h"

class wxChoice;
class wxTextCtrl;

namespace vantrel {

class CBurnFolderDlg : public wxDialog {
 public:
  enum { kDevices = 1121, kHelp = 1118, kFolder = 1119, kBrowse = 1120, kErase = 1016, kWrite = 1002 };
  // Shows a help page given relative to the application folder.
  using HelpOpener = std::function<void(const std::string& page)>;
  static constexpr const char* kHelpPage = "help/topics/burning.htm#videodvd";

  // `imageRecorders` is the library's start-up list; `folder` may be preset. Without a
  // help opener the page goes to the desktop's browser.
  CBurnFolderDlg(wxWindow* parent, const std::string& imageRecorders, std::string folder = "",
                 HelpOpener help = {});
  ~CBurnFolderDlg() override;

  const std::string& Folder() const { return folder_; }

 private:
  void FillDevices();
  void OnDeviceChoice(wxCommandEvent& event);
  void OnBrowse(wxCommandEvent& event);
  void OnWrite(wxCommandEvent& event);
  void OnErase(wxCommandEvent& event);
  void OnHelp(wxCommandEvent& event);
  std::string DriveName() const;

  MessageFrontEnd ui_;
  HelpOpener help_;
  std::string folder_;
  std::vector<std::string> devices_;
  wxChoice* deviceList_;
  wxTextCtrl* folderEdit_;
};

}  // namespace vantrel
