// SPDX-License-Identifier: GPL-3.0-or-later
// CMenuMotionDlg "动态菜单": whether the title buttons play their titles, the film's
// length, a background video and music, and whether the film starts again at its end.
#pragma once

#include <wx/dialog.h>

#include "menu/menu_design.h"

class wxCheckBox;
class wxSpinCtrl;
class wxTextCtrl;

namespace vantrel {

class CMenuMotionDlg : public wxDialog {
 public:
  CMenuMotionDlg(wxWindow* parent, const MenuChoices& choices);
  // The dialog's choices as its controls hold them.
  MotionChoice Choice() const;

 private:
  void ShowFiles();
  void Browse(bool video);

  MotionChoice choice_;
  wxCheckBox* thumbnails_ = nullptr;
  wxSpinCtrl* seconds_ = nullptr;
  wxTextCtrl* video_ = nullptr;
  wxTextCtrl* music_ = nullptr;
  wxCheckBox* loop_ = nullptr;
};

}  // namespace vantrel
