// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/menu_edit_dialogs.h"

#include <wx/artprov.h>
#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "base/translation.h"
#include "menu/ui/deferred_handler.h"
#include "menu/ui/wx_text.h"
#include "menu/ui/accessible_label.h"
#include "menu/ui/colour_button.h"
#include "menu/ui/dialog_placement.h"
#include "menu/ui/font_name_combo.h"

namespace vantrel {
namespace {

constexpr const char* kPictureFilter =
    N_("Supported files|*.bmp;*.BMP;*.gif;*.GIF;*.jpg;*.JPG;*.jpeg;*.JPEG;*.png;*.PNG;*.ico;*.ICO;"
    "*.tif;*.TIF;*.tiff;*.TIFF;*.tga;*.TGA;*.pcx;*.PCX;*.wbmp;*.WBMP;*.wmf;*.WMF;*.emf;*.EMF;"
    "*.j2k;*.J2K;*.jp2;*.JP2;*.jbg;*.JBG;*.j2c;*.J2C;*.jpc;*.JPC;*.pgx;*.PGX;*.pnm;*.PNM;*.pgm;"
    "*.PGM;*.ppm;*.PPM;*.ras;*.RAS|\t\tBMP files|*.bmp;*.BMP|GIF files|*.gif;*.GIF|JPG files|"
    "*.jpg;*.JPG;*.jpeg;*.JPEG|PNG files|*.png;*.PNG|ICO files|*.ico;*.ICO|TIF files|*.tif;*.TIF;"
    "*.tiff;*.TIFF|TGA 文件|*.tga;*.TGA|PCX 文件|*.pcx;*.PCX|WBMP 文件|*.wbmp;*.WBMP|\t\tWMF EMF "
    "文件|*.wmf;*.WMF;*.emf;*.EMF|J2K 文件|*.j2k;*.J2K;*.jp2;*.JP2|JBG 文件|*.jbg;*.JBG|J2C 文件|"
    "*.j2c;*.J2C|JPC 文件|*.jpc;*.JPC|PGX 文件|*.pgx;*.PGX|PNM 文件|*.pnm;*.pgm;*.ppm|RAS 文件|"
    "*.ras;*.RAS");

std::string S(const wxString& text) { return text.utf8_string(); }

wxSizer* OkCancel(wxDialog* dialog) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  row->Add(new wxButton(dialog, wxID_OK, U("确定")), 0, wxRIGHT, 8);
  row->Add(new wxButton(dialog, wxID_CANCEL, U("取消")));
  return row;
}

}  // namespace

CMenuLayoutDlg::CMenuLayoutDlg(wxWindow* parent, int style, bool headerLine, bool footerLine, bool playAll,
                               bool chapterMenus)
    : wxDialog(parent, 142, U("菜单版面")) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  style_ = new wxChoice(this, 1050);
  for (const char* name : kLayoutChoices) style_->Append(U(name));
  style_->SetSelection(style >= 0 && style < 3 ? style : 0);
  headerLine_ = new wxCheckBox(this, 1012, U("页眉线"));
  footerLine_ = new wxCheckBox(this, 1013, U("页脚线"));
  // A button on the first page that plays every title in order and comes back to the menu.
  playAll_ = new wxCheckBox(this, wxID_ANY, U("“全部播放”按钮"));
  // A page of chapters for each title that has more than one, reached from its button.
  chapterMenus_ = new wxCheckBox(this, wxID_ANY, U("章节菜单"));
  headerLine_->SetValue(headerLine);
  footerLine_->SetValue(footerLine);
  playAll_->SetValue(playAll);
  chapterMenus_->SetValue(chapterMenus);
  top->Add(style_, 0, wxEXPAND | wxALL, 10);
  top->Add(headerLine_, 0, wxLEFT | wxRIGHT, 10);
  top->Add(footerLine_, 0, wxALL, 10);
  top->Add(playAll_, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
  top->Add(chapterMenus_, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
  top->Add(OkCancel(this), 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(top);
  PlaceBesideParent(this);  // the preview stays in sight
}

int CMenuLayoutDlg::Style() const { return style_->GetSelection(); }
bool CMenuLayoutDlg::HeaderLine() const { return headerLine_->GetValue(); }
bool CMenuLayoutDlg::FooterLine() const { return footerLine_->GetValue(); }
bool CMenuLayoutDlg::PlayAll() const { return playAll_->GetValue(); }
bool CMenuLayoutDlg::ChapterMenus() const { return chapterMenus_->GetValue(); }

CMenuBackgroundDlg::CMenuBackgroundDlg(wxWindow* parent, const MenuAppearance& look)
    : wxDialog(parent, 141, U("菜单背景设置")), choice_(OpenBackgroundChoice(look)) {
  auto* grid = new wxFlexGridSizer(3, 8, 8);
  grid->AddGrowableCol(1);
  grid->Add(new wxStaticText(this, wxID_ANY, U("背景图片:")), 0, wxALIGN_CENTER_VERTICAL);
  path_ = new wxTextCtrl(this, 1026, "", wxDefaultPosition, wxSize(260, -1), wxTE_READONLY);
  path_->SetName(U("背景图片"));
  grid->Add(path_, 1, wxEXPAND);
  auto* browse = new wxBitmapButton(this, 1046,
                                    wxArtProvider::GetBitmap(wxART_FILE_OPEN, wxART_BUTTON, wxSize(16, 16)));
  browse->SetToolTip(U("选择背景图片"));
  SetAccessibleLabel(browse, Tr("选择背景图片"));
  grid->Add(browse);
  colourLabel_ = new wxStaticText(this, 1074, U("背景颜色:"));
  grid->Add(colourLabel_, 0, wxALIGN_CENTER_VERTICAL);
  colour_ = new CColourButton(this, 1047, U("背景颜色"));
  colour_->SetColour(choice_.colour);
  grid->Add(colour_);
  grid->AddSpacer(0);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 0, wxEXPAND | wxALL, 10);
  top->Add(OkCancel(this), 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(top);
  browse->Bind(wxEVT_BUTTON, Deferred(this, &CMenuBackgroundDlg::OnBrowse));
  ShowChoice();
  PlaceBesideParent(this);  // the preview stays in sight
}

void CMenuBackgroundDlg::ShowChoice() {
  path_->ChangeValue(U(choice_.picture));
  colourLabel_->Enable(choice_.ColourLabelEnabled());
}

void CMenuBackgroundDlg::OnBrowse(wxCommandEvent&) {
  wxFileDialog dialog(this, U("选择背景图片"), "", "", U(kPictureFilter),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  const bool chosen = dialog.ShowModal() == wxID_OK;
  choice_.FileDialogClosed(chosen, chosen ? S(dialog.GetPath()) : "");
  ShowChoice();
}

BackgroundChoice CMenuBackgroundDlg::Choice() const {
  BackgroundChoice choice = choice_;
  choice.picture = S(path_->GetValue());
  choice.colour = colour_->GetColour();
  return choice;
}

CMenuTextDlg::CMenuTextDlg(wxWindow* parent, MenuAppearance& look, std::vector<std::string> faces,
                           std::function<void()> repaint)
    : wxDialog(parent, 210, U("文本")), edit_(look, std::move(faces)), repaint_(std::move(repaint)) {
  static const int kHeaderIds[9] = {1026, 1104, 1105, 1081, 1106, 1109, 1111, 1108, 1107};
  static const int kFooterIds[9] = {1027, 1113, 1114, 1082, 1115, 1116, 1117, 1110, 1112};
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(MakeGroup(header_, true, kHeaderIds), 0, wxEXPAND | wxALL, 8);
  top->Add(MakeGroup(footer_, false, kFooterIds), 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
  top->Add(OkCancel(this), 0, wxEXPAND | wxALL, 8);
  SetSizerAndFit(top);
  Fill(header_, true);
  Fill(footer_, false);
  Bind(header_, true);
  Bind(footer_, false);
  PlaceBesideParent(this);  // the preview stays in sight
}

wxSizer* CMenuTextDlg::MakeGroup(Group& g, bool header, const int ids[9]) {
  const wxString part = header ? U("页眉") : U("页脚");
  auto* box = new wxStaticBoxSizer(wxVERTICAL, this, part);
  wxWindow* parent = box->GetStaticBox();
  auto* grid = new wxFlexGridSizer(4, 6, 8);
  grid->AddGrowableCol(1);
  g.text = new wxTextCtrl(parent, ids[0], "", wxDefaultPosition, wxSize(260, -1));
  g.text->SetName(wxString::Format(U("%s内容"), part));
  g.face = new CFontNameCombo(parent, ids[1], wxString::Format(U("%s字体"), part));
  g.size = new wxChoice(parent, ids[2]);
  g.size->SetName(wxString::Format(U("%s大小"), part));
  for (int size : kMenuFontSizes) g.size->Append(wxString::Format("%d", size));
  g.colour = new CColourButton(parent, ids[3], wxString::Format(U("%s颜色"), part));
  g.alignment = new wxChoice(parent, ids[4]);
  g.alignment->SetName(wxString::Format(U("%s对齐"), part));
  for (const char* name : kAlignmentChoices) g.alignment->Append(U(name));
  g.bold = new wxCheckBox(parent, ids[5], U("粗体"));
  g.italic = new wxCheckBox(parent, ids[6], U("斜体"));
  g.shadow = new wxCheckBox(parent, ids[7], U("阴影"));
  g.shadowColour = new CColourButton(parent, ids[8], wxString::Format(U("%s阴影颜色"), part));
  grid->Add(new wxStaticText(parent, wxID_ANY, U("内容")), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(g.text, 1, wxEXPAND);
  grid->Add(new wxStaticText(parent, wxID_ANY, U("颜色")), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(g.colour);
  grid->Add(new wxStaticText(parent, wxID_ANY, U("字体")), 0, wxALIGN_CENTER_VERTICAL);
  auto* faceRow = new wxBoxSizer(wxHORIZONTAL);
  faceRow->Add(g.face, 1, wxRIGHT, 6);
  faceRow->Add(g.size);
  grid->Add(faceRow, 1, wxEXPAND);
  grid->Add(new wxStaticText(parent, wxID_ANY, U("对齐")), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(g.alignment);
  auto* styleRow = new wxBoxSizer(wxHORIZONTAL);
  styleRow->Add(g.bold, 0, wxRIGHT, 10);
  styleRow->Add(g.italic, 0, wxRIGHT, 10);
  styleRow->Add(g.shadow, 0, wxRIGHT, 6);
  styleRow->Add(g.shadowColour);
  grid->AddSpacer(0);
  grid->Add(styleRow);
  box->Add(grid, 1, wxEXPAND | wxALL, 4);
  return box;
}

void CMenuTextDlg::Fill(Group& g, bool header) {
  g.face->Fill(edit_.Faces());
  const HeadlineControls c = edit_.Opening(header);
  if (!edit_.Faces().empty()) g.face->SetSelection(c.face);
  g.size->SetSelection(c.size);  // -1 leaves no entry selected
  g.alignment->SetSelection(c.alignment);
  g.bold->SetValue(c.bold);
  g.italic->SetValue(c.italic);
  g.shadow->SetValue(c.shadow);
  g.colour->SetColour(c.colour);
  g.shadowColour->SetColour(c.shadowColour);
  g.text->ChangeValue(U(c.text));
}

void CMenuTextDlg::Bind(Group& g, bool header) {
  g.face->Bind(wxEVT_COMBOBOX, [this, &g, header](wxCommandEvent&) {
    Changed(edit_.ChooseFace(header, g.face->GetSelection()));
  });
  g.size->Bind(wxEVT_CHOICE, [this, &g, header](wxCommandEvent&) {
    Changed(edit_.ChooseSize(header, g.size->GetSelection()));
  });
  g.alignment->Bind(wxEVT_CHOICE, [this, &g, header](wxCommandEvent&) {
    Changed(edit_.ChooseAlignment(header, g.alignment->GetSelection()));
  });
  auto style = [this, &g, header](wxCommandEvent&) {
    Changed(edit_.SetStyle(header, g.bold->GetValue(), g.italic->GetValue()));
  };
  g.bold->Bind(wxEVT_CHECKBOX, style);
  g.italic->Bind(wxEVT_CHECKBOX, style);
  g.shadow->Bind(wxEVT_CHECKBOX, [this, &g, header](wxCommandEvent&) {
    Changed(edit_.SetShadow(header, g.shadow->GetValue()));
  });
  // A colour button tells of a new colour with a click of its own id.
  wxDialog::Bind(wxEVT_BUTTON, [this, &g, header](wxCommandEvent&) {
    Changed(edit_.SetColour(header, g.colour->GetColour()));
  }, g.colour->GetId());
  wxDialog::Bind(wxEVT_BUTTON, [this, &g, header](wxCommandEvent&) {
    Changed(edit_.SetShadowColour(header, g.shadowColour->GetColour()));
  }, g.shadowColour->GetId());
}

void CMenuTextDlg::Changed(bool repaint) {
  if (repaint && repaint_) repaint_();
}

std::string CMenuTextDlg::HeaderText() const { return S(header_.text->GetValue()); }
std::string CMenuTextDlg::FooterText() const { return S(footer_.text->GetValue()); }

}  // namespace vantrel
