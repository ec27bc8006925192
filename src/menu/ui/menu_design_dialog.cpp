// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/menu_design_dialog.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include "menu/ui/deferred_handler.h"
#include "menu/ui/wx_text.h"
#include "menu/font_faces.h"
#include "menu/menu_design.h"
#include "menu/menu_model.h"
#include "menu/ui/menu_edit_dialogs.h"
#include "menu/ui/menu_motion_dialog.h"
#include "menu/ui/menu_preview.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel {
namespace {

CMenuDesignDlg* gOpenDesigner = nullptr;

// The banner across the designer's top: a title and a hint over a soft gradient.
class DesignBanner : public wxPanel {
 public:
  explicit DesignBanner(wxWindow* parent) : wxPanel(parent, 148, wxDefaultPosition, wxSize(-1, 52)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
      wxAutoBufferedPaintDC dc(this);
      const wxRect area(GetClientSize());
      dc.GradientFillLinear(area, wxColour(40, 70, 140), wxColour(150, 180, 230), wxEAST);
      dc.SetTextForeground(*wxWHITE);
      dc.SetFont(wxFontInfo(10).FaceName("Verdana").Bold());
      dc.DrawText(U("我的视频 DVD 菜单"), 12, 8);
      dc.SetFont(wxFontInfo(8).FaceName("Verdana"));
      dc.DrawText(U("您可以通过单击版面、背景、文本按钮来更改菜单的样式"), 12, 30);
    });
  }
};

}  // namespace

CMenuDesignDlg* CMenuDesignDlg::Current() { return gOpenDesigner; }

CMenuDesignDlg::CMenuDesignDlg(wxWindow* parent, MenuModel& model, const TitleList& titles,
                               AppSettings& settings)
    : wxDialog(parent, 139, U("设计菜单")), model_(model), titles_(titles), settings_(settings) {
  gOpenDesigner = this;
  model_.ApplyGeometry(settings_.layout, settings_.IsNtsc());
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(new DesignBanner(this), 0, wxEXPAND);
  auto* body = new wxBoxSizer(wxHORIZONTAL);
  preview_ = new MenuPreview(this, kPreview, model_, titles_.Thumbnails(), settings_);
  body->Add(preview_, 1, wxEXPAND | wxALL, 10);
  auto* buttons = new wxBoxSizer(wxVERTICAL);
  buttons->Add(new wxButton(this, kLayoutButton, U("版面")), 0, wxEXPAND | wxBOTTOM, 6);
  buttons->Add(new wxButton(this, kBackgroundButton, U("背景")), 0, wxEXPAND | wxBOTTOM, 6);
  buttons->Add(new wxButton(this, kTextButton, U("文本")), 0, wxEXPAND | wxBOTTOM, 6);
  buttons->Add(new wxButton(this, kMotionButton, U("动态菜单")), 0, wxEXPAND | wxBOTTOM, 6);
  // The script is written by every run into the work folder; the designer does not offer it.
  auto* saveXml = new wxButton(this, kSaveXml, U("保存菜单 XML"));
  saveXml->Hide();
  buttons->Add(saveXml, 0, wxEXPAND | wxBOTTOM, 6);
  buttons->AddStretchSpacer();
  buttons->Add(new wxButton(this, wxID_OK, U("退出")), 0, wxEXPAND);
  body->Add(buttons, 0, wxEXPAND | wxTOP | wxRIGHT | wxBOTTOM, 10);
  top->Add(body, 1, wxEXPAND);
  SetSizerAndFit(top);
  SetEscapeId(wxID_OK);
  wxDialog::Bind(wxEVT_BUTTON, Deferred(this, &CMenuDesignDlg::OnLayout), kLayoutButton);
  wxDialog::Bind(wxEVT_BUTTON, Deferred(this, &CMenuDesignDlg::OnBackground), kBackgroundButton);
  wxDialog::Bind(wxEVT_BUTTON, Deferred(this, &CMenuDesignDlg::OnText), kTextButton);
  wxDialog::Bind(wxEVT_BUTTON, Deferred(this, &CMenuDesignDlg::OnMotion), kMotionButton);
  CentreOnParent();
}

CMenuDesignDlg::~CMenuDesignDlg() {
  if (gOpenDesigner == this) gOpenDesigner = nullptr;
}

void CMenuDesignDlg::RepaintPreview() {
  preview_->Refresh();
  preview_->Update();
}

void CMenuDesignDlg::OnLayout(wxCommandEvent&) {
  CMenuLayoutDlg dialog(this, settings_.layout, settings_.headline != 0, settings_.footline != 0,
                        model_.Choices().playAll, model_.Choices().chapterMenus);
  if (dialog.ShowModal() != wxID_OK) return;
  ApplyLayoutChoice(settings_, model_, titles_, dialog.Style(), dialog.HeaderLine(),
                    dialog.FooterLine(), dialog.PlayAll(), dialog.ChapterMenus());
  RepaintPreview();
}

void CMenuDesignDlg::OnBackground(wxCommandEvent&) {
  CMenuBackgroundDlg dialog(this, model_.Appearance());
  if (dialog.ShowModal() == wxID_OK) ApplyBackgroundChoice(model_.Appearance(), dialog.Choice());
  RepaintPreview();
}

void CMenuDesignDlg::OnText(wxCommandEvent&) {
  CMenuTextDlg dialog(this, model_.Appearance(), InstalledScalableFaces(), [] {
    if (CMenuDesignDlg* designer = Current()) designer->RepaintPreview();
  });
  if (dialog.ShowModal() == wxID_OK) {
    MenuTextEdit(model_.Appearance(), {}).Ok(dialog.HeaderText(), dialog.FooterText());
  }
  RepaintPreview();
}

void CMenuDesignDlg::OnMotion(wxCommandEvent&) {
  CMenuMotionDlg dialog(this, model_.Choices());
  if (dialog.ShowModal() == wxID_OK) ApplyMotionChoice(model_.Choices(), dialog.Choice());
}

}  // namespace vantrel
