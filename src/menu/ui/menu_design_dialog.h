// SPDX-License-Identifier: GPL-3.0-or-later
// CMenuDesignDlg "设计菜单": the banner, the live preview of page 1, and the layout,
// background, text and moving-menu buttons that open the editing dialogs.
#pragma once

#include <wx/dialog.h>

namespace vantrel {

class MenuModel;
class MenuPreview;
class TitleList;
struct AppSettings;

class CMenuDesignDlg : public wxDialog {
 public:
  enum { kLayoutButton = 1030, kBackgroundButton = 1031, kTextButton = 1032, kPreview = 1034,
         kSaveXml = 1056, kMotionButton = 1057 };

  CMenuDesignDlg(wxWindow* parent, MenuModel& model, const TitleList& titles,
                 AppSettings& settings);
  ~CMenuDesignDlg() override;

  // The open designer, for the text dialog's repaints (nullptr when none is open).
  static CMenuDesignDlg* Current();
  void RepaintPreview();

 private:
  void OnLayout(wxCommandEvent& event);
  void OnBackground(wxCommandEvent& event);
  void OnText(wxCommandEvent& event);
  void OnMotion(wxCommandEvent& event);

  MenuModel& model_;
  const TitleList& titles_;
  AppSettings& settings_;
  MenuPreview* preview_ = nullptr;
};

}  // namespace vantrel
