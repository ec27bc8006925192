// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/menu_motion_dialog.h"

#include <wx/artprov.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cmath>

#include "menu/ui/accessible_label.h"
#include "menu/ui/deferred_handler.h"
#include "menu/ui/dialog_placement.h"
#include "menu/ui/wx_text.h"

namespace vantrel {

CMenuMotionDlg::CMenuMotionDlg(wxWindow* parent, const MenuChoices& choices)
    : wxDialog(parent, wxID_ANY, U("动态菜单")), choice_(OpenMotionChoice(choices)) {
  const MenuMotion& motion = choice_.motion;
  auto* top = new wxBoxSizer(wxVERTICAL);
  thumbnails_ = new wxCheckBox(this, wxID_ANY, U("动态菜单"));
  thumbnails_->SetValue(motion.thumbnails);
  top->Add(thumbnails_, 0, wxALL, 10);
  auto* grid = new wxFlexGridSizer(3, 8, 8);
  grid->AddGrowableCol(1);
  grid->Add(new wxStaticText(this, wxID_ANY, U("菜单长度 (秒):")), 0, wxALIGN_CENTER_VERTICAL);
  seconds_ = new wxSpinCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS,
                            int(MenuMotion::kMinSeconds), int(MenuMotion::kMaxSeconds), int(std::lround(motion.seconds)));
  seconds_->SetName(U("菜单长度 (秒):"));
  grid->Add(seconds_);
  grid->AddSpacer(0);
  auto fileRow = [&](const char* label, const char* browseText, wxTextCtrl*& field, bool video) {
    grid->Add(new wxStaticText(this, wxID_ANY, U(label)), 0, wxALIGN_CENTER_VERTICAL);
    field = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxSize(260, -1), wxTE_READONLY);
    field->SetName(U(label));
    grid->Add(field, 1, wxEXPAND);
    auto* browse = new wxBitmapButton(this, wxID_ANY, wxArtProvider::GetBitmap(wxART_FILE_OPEN, wxART_BUTTON, wxSize(16, 16)));
    browse->SetToolTip(U(browseText));
    SetAccessibleLabel(browse, Tr(browseText));
    browse->Bind(wxEVT_BUTTON, [this, video](wxCommandEvent&) { Browse(video); });
    grid->Add(browse);
  };
  fileRow(N_("背景视频:"), N_("选择背景视频"), video_, true);
  fileRow(N_("背景音乐:"), N_("选择背景音乐"), music_, false);
  top->Add(grid, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
  loop_ = new wxCheckBox(this, wxID_ANY, U("循环播放"));
  loop_->SetValue(motion.loop);
  top->Add(loop_, 0, wxALL, 10);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  row->Add(new wxButton(this, wxID_OK, U("确定")), 0, wxRIGHT, 8);
  row->Add(new wxButton(this, wxID_CANCEL, U("取消")));
  top->Add(row, 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(top);
  ShowFiles();
  PlaceBesideParent(this);  // the preview stays in sight
}

void CMenuMotionDlg::ShowFiles() {
  video_->ChangeValue(Plain(choice_.motion.backgroundVideo));
  music_->ChangeValue(Plain(choice_.motion.music));
}

void CMenuMotionDlg::Browse(bool video) {
  wxFileDialog dialog(this, video ? U("选择背景视频") : U("选择背景音乐"), "", "", "*", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  const bool chosen = dialog.ShowModal() == wxID_OK;
  const std::string path = chosen ? dialog.GetPath().utf8_string() : std::string();
  if (video)
    choice_.VideoDialogClosed(chosen, path);
  else
    choice_.MusicDialogClosed(chosen, path);
  ShowFiles();
}

MotionChoice CMenuMotionDlg::Choice() const {
  MotionChoice choice = choice_;
  choice.motion.thumbnails = thumbnails_->GetValue();
  choice.SetSeconds(seconds_->GetValue());
  choice.motion.loop = loop_->GetValue();
  return choice;
}

}  // namespace vantrel
