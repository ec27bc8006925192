// SPDX-License-Identifier: GPL-3.0-or-later
// Skins on wx windows: the active theme's colours on a window and all its children, or the
// platform's own look when no skin is active for it.
#include <wx/button.h>
#include <wx/dataview.h>
#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include "app/app_windows.h"
#include "app/hyperlink_label.h"
#include "app/main_window_logic.h"
#include "app/wx_text.h"
#include "platform/skin/skin_library.h"

namespace vantrel::app {
namespace {

wxColour ToWx(const skin::Colour& c) { return wxColour(c.r, c.g, c.b); }

void Paint(wxWindow* window, const skin::SkinTheme* theme) {
  // Edit boxes keep the platform's look, links their own.
  if (dynamic_cast<wxTextCtrl*>(window) || dynamic_cast<HyperlinkLabel*>(window)) return;
  wxColour background = wxNullColour, foreground = wxNullColour;
  if (theme) {
    if (dynamic_cast<wxButton*>(window)) {
      background = ToWx(theme->button);
      foreground = ToWx(theme->buttonText);
    } else if (dynamic_cast<wxDataViewCtrl*>(window)) {
      background = ToWx(theme->list);
      foreground = ToWx(theme->listText);
    } else {
      background = ToWx(theme->window);
      foreground = ToWx(theme->text);
    }
  }
  window->SetBackgroundColour(background);
  window->SetForegroundColour(foreground);
  for (wxWindow* child : window->GetChildren()) Paint(child, theme);
  window->Refresh();
}

}  // namespace

void ApplySkin(wxWindow* window) {
  if (!window) return;
  const skin::SkinLibrary& skins = skin::Skins();
  wxWindow* top = wxGetTopLevelParent(window);
  const bool skinned = skins.IsSkinned(skin::WindowId(top ? top : window));
  Paint(window, skinned ? &skins.Theme() : nullptr);
}

void PrepareDialog(wxDialog* dialog) {
  ApplySkin(dialog);
  dialog->CentreOnParent();
}

void ShowInformation(wxWindow* parent, const std::string& text) {
  wxMessageDialog box(parent, U(text), U(main_texts::kCaption), wxOK | wxICON_INFORMATION);
  box.SetOKLabel(U("确定"));
  box.ShowModal();
}

}  // namespace vantrel::app
