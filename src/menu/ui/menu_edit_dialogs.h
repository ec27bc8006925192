// SPDX-License-Identifier: GPL-3.0-or-later
// The three editing dialogs of the menu designer: the layout ("菜单版面"), the background
// ("菜单背景设置") and the header and footer texts ("文本").
#pragma once

#include <wx/dialog.h>

#include <functional>
#include <string>
#include <vector>

#include "menu/menu_design.h"

class wxCheckBox;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

namespace vantrel {

class CColourButton;
class CFontNameCombo;

class CMenuLayoutDlg : public wxDialog {
 public:
  CMenuLayoutDlg(wxWindow* parent, int style, bool headerLine, bool footerLine, bool playAll, bool chapterMenus);
  int Style() const;
  bool HeaderLine() const;
  bool FooterLine() const;
  bool PlayAll() const;
  bool ChapterMenus() const;

 private:
  wxChoice* style_;
  wxCheckBox* headerLine_;
  wxCheckBox* footerLine_;
  wxCheckBox* playAll_;
  wxCheckBox* chapterMenus_;
};

class CMenuBackgroundDlg : public wxDialog {
 public:
  CMenuBackgroundDlg(wxWindow* parent, const MenuAppearance& look);
  // The choice after OK: the edit's path and the colour button's colour.
  BackgroundChoice Choice() const;

 private:
  void OnBrowse(wxCommandEvent& event);
  void ShowChoice();

  BackgroundChoice choice_;
  wxTextCtrl* path_;
  wxStaticText* colourLabel_;
  CColourButton* colour_;
};

class CMenuTextDlg : public wxDialog {
 public:
  // `repaint` redraws the designer after a change that shows in the preview.
  CMenuTextDlg(wxWindow* parent, MenuAppearance& look, std::vector<std::string> faces,
               std::function<void()> repaint);
  std::string HeaderText() const;
  std::string FooterText() const;

 private:
  struct Group {
    wxTextCtrl* text;
    CFontNameCombo* face;
    wxChoice* size;
    wxChoice* alignment;
    wxCheckBox* bold;
    wxCheckBox* italic;
    wxCheckBox* shadow;
    CColourButton* colour;
    CColourButton* shadowColour;
  };
  wxSizer* MakeGroup(Group& g, bool header, const int ids[9]);
  void Bind(Group& g, bool header);
  void Fill(Group& g, bool header);
  void Changed(bool repaint);

  MenuTextEdit edit_;
  std::function<void()> repaint_;
  Group header_{}, footer_{};
};

}  // namespace vantrel
