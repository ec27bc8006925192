// SPDX-License-Identifier: GPL-3.0-or-later
// The small windows of the main window: the about box, the tip of the day, the decoder
// download notice and the help viewer.
// The core's headers come before wx's: the toolkit defines TRUE and FALSE as macros.
#include "app/link_opener.h"
#include "app/tip_of_the_day.h"
#include "base/app_folder.h"
#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/translation.h"
#include "media/regrab.h"
#include "platform/skin/skin_library.h"

#include <climits>
#include <cstdlib>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "app/app_windows.h"
#include "app/button_art.h"
#include "app/gtk_glue.h"
#include "app/hyperlink_label.h"
#include "app/tip_of_the_day.h"
#include "app/wx_text.h"
#include "base/app_folder.h"
#include "media/regrab.h"
#include "platform/skin/skin_library.h"

namespace vantrel::app {

void ShowAboutBox(wxWindow* parent, const SupportInfo& support) {
  wxDialog box(parent, 100, U("关于"));
  auto* sizer = new wxBoxSizer(wxHORIZONTAL);
  sizer->Add(new wxStaticBitmap(&box, 128, ProgramIcon(64)), 0, wxALL, 12);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(&box, wxID_ANY, Plain("Vantrel")), 0, wxBOTTOM, 4);
  column->Add(new wxStaticText(&box, wxID_ANY, U("Vantrel 视频 DVD 制作与刻录工具，由 Vantrel 开发者制作")), 0,
              wxBOTTOM, 8);
  auto* grid = new wxFlexGridSizer(2, 4, 8);
  grid->Add(new wxStaticText(&box, wxID_ANY, U("版本:")));
  grid->Add(new wxStaticText(&box, 1090, U(support.version)));
  grid->Add(new wxStaticText(&box, wxID_ANY, U("主页:")));
  auto* home = new HyperlinkLabel(&box, 1091, Tr("主页"), support.homepage);
  grid->Add(home);
  grid->Add(new wxStaticText(&box, wxID_ANY, U("支持:")));
  auto* mail = new HyperlinkLabel(&box, 1092, Tr("技术支持"), support.mailto);
  grid->Add(mail);
  column->Add(grid);
  column->Add(new wxButton(&box, wxID_OK, U("确定")), 0, wxALIGN_RIGHT | wxTOP, 12);
  sizer->Add(column, 1, wxALL, 12);
  box.SetSizerAndFit(sizer);
  PrepareDialog(&box);
  // The links keep their own look under every skin.
  for (HyperlinkLabel* link : {home, mail}) {
    link->SetBackgroundColour(wxNullColour);
    link->SetForegroundColour(wxColour(0, 0, 238));
  }
  box.ShowModal();
}

void ShowTipWindow(wxWindow* parent, bool atStartUp) {
  AppProfile profile;
  if (atStartUp && !TipOfTheDay::WantedAtStartUp(profile)) return;
  TipOfTheDay tips(profile, LocalisedFile(ApplicationFolder(), "tips.txt"));
  tips.Open();

  using namespace tip_texts;
  wxDialog dialog(parent, kDialogId, U(kTitle));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  auto* frame = new wxPanel(&dialog, 1084, wxDefaultPosition, wxSize(420, 140), wxBORDER_SUNKEN);
  frame->SetBackgroundColour(*wxWHITE);
  auto* frameSizer = new wxBoxSizer(wxHORIZONTAL);
  frameSizer->Add(new wxStaticBitmap(frame, 131, ButtonBitmap(157, 32)), 0, wxALL, 8);
  auto* textColumn = new wxBoxSizer(wxVERTICAL);
  auto* heading = new wxStaticText(frame, wxID_ANY, U(kHeading));
  heading->SetFont(heading->GetFont().Bold().Larger());
  textColumn->Add(heading, 0, wxBOTTOM, 8);
  auto* tip = new wxStaticText(frame, 1085, U(tips.Text()));
  tip->Wrap(360);
  textColumn->Add(tip, 1, wxEXPAND);
  frameSizer->Add(textColumn, 1, wxALL | wxEXPAND, 8);
  frame->SetSizer(frameSizer);
  sizer->Add(frame, 1, wxALL | wxEXPAND, 10);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  auto* startUp = new wxCheckBox(&dialog, 1082, U(kShowAtStartUp));
  startUp->SetValue(tips.ShowAtStartUpTicked());
  row->Add(startUp, 1, wxALIGN_CENTER_VERTICAL);
  auto* next = new wxButton(&dialog, 1083, U(kNext));
  next->Enable(tips.NextEnabled());
  row->Add(next, 0, wxRIGHT, 6);
  row->Add(new wxButton(&dialog, wxID_CLOSE, U(kClose)));
  sizer->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  dialog.SetSizerAndFit(sizer);
  next->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
    tips.Next();
    tip->SetLabel(U(tips.Text()));
    tip->Wrap(360);
    frame->Layout();
  });
  bool byClose = false;
  dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
    byClose = true;
    dialog.EndModal(wxID_CLOSE);
  }, wxID_CLOSE);
  PrepareDialog(&dialog);
  // The tip stands on white under every skin.
  for (wxWindow* window : {static_cast<wxWindow*>(frame), static_cast<wxWindow*>(heading), static_cast<wxWindow*>(tip)}) {
    window->SetBackgroundColour(*wxWHITE);
    window->SetForegroundColour(*wxBLACK);
  }
  dialog.ShowModal();
  tips.Close(byClose, startUp->GetValue());
}

void ShowDecoderNotice(wxWindow* parent, const std::string& path) {
  using namespace decoder_notice;
  wxDialog dialog(parent, kDialogId, U(kTitle));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  auto* heading = new wxStaticText(&dialog, kHeadingId, U(kHeading));
  heading->SetFont(wxFont(wxFontInfo(12).FaceName(kHeadingFont).Bold()));
  sizer->Add(heading, 0, wxALL, 12);
  if (!path.empty()) {
    auto* file = new wxStaticText(&dialog, wxID_ANY, U(kFileLine + path));
    file->Wrap(380);
    sizer->Add(file, 0, wxLEFT | wxRIGHT | wxBOTTOM, 12);
  }
  auto* text = new wxStaticText(&dialog, wxID_ANY, U(kText));
  text->Wrap(380);
  sizer->Add(text, 0, wxLEFT | wxRIGHT, 12);
  sizer->Add(new HyperlinkLabel(&dialog, kDecoderLinkId, kDecoderLink, kDecoderAddress), 0, wxLEFT | wxTOP, 12);
  sizer->Add(new HyperlinkLabel(&dialog, kMediaLinkId, kMediaLink, kMediaAddress), 0, wxLEFT | wxTOP, 12);
  sizer->Add(new wxButton(&dialog, wxID_OK, U(kOk)), 0, wxALIGN_RIGHT | wxALL, 12);
  dialog.SetSizerAndFit(sizer);
  PrepareDialog(&dialog);
  dialog.ShowModal();
}

namespace {

// The help viewer: one window with the pages shipped under help/ in the application
// folder. Pages are read as UTF-8 and links between them are followed here; links out of
// the help (web, mail) go to the desktop's opener.
//
// It stays open beside the main window, which runs modally. A frame cannot be closed then
// (the toolkit passes close requests only to dialogs while a modal one runs), so it is a
// modeless dialog; and its own input group keeps the main window's modal grab from
// holding back its clicks and keys. The close box, Esc and Ctrl+W close it.
class HelpViewer : public wxDialog {
 public:
  HelpViewer()
      : wxDialog(nullptr, wxID_ANY, U("Vantrel 帮助"), wxDefaultPosition, wxSize(760, 560),
                 wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMAXIMIZE_BOX | wxMINIMIZE_BOX) {
    GtkWindowGroup* group = gtk_window_group_new();
    gtk_window_group_add_window(group, reinterpret_cast<GtkWindow*>(GetHandle()));
    g_object_unref(group);  // the window keeps it
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
      const bool ctrlW = event.GetModifiers() == wxMOD_CONTROL && event.GetKeyCode() == 'W';
      if (event.GetKeyCode() == WXK_ESCAPE || ctrlW)
        Close();
      else
        event.Skip();
    });
    html_ = new wxHtmlWindow(this);
    // Chinese pages need a face that has the glyphs.
    html_->SetStandardFonts(12, "WenQuanYi Zen Hei", "WenQuanYi Zen Hei Mono");
    html_->Bind(wxEVT_HTML_LINK_CLICKED, [this](wxHtmlLinkEvent& event) {
      const std::string href = S(event.GetLinkInfo().GetHref());
      if (href.find("://") != std::string::npos || href.rfind("mailto:", 0) == 0)
        OpenLink(href);
      else
        Load(folder_ + href);
    });
    // Closing only hides it: the next help command shows it again.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Hide(); });
  }
  static void Show(const std::string& page) {
    if (!viewer_) viewer_ = new HelpViewer;
    viewer_->Load(page);
    viewer_->wxDialog::Show();
    viewer_->Raise();
  }

 private:
  void Load(const std::string& path) {
    std::string text;
    const std::string page = path.substr(0, path.find('#'));
    if (!ReadWholeFile(page, text)) {
      html_->SetPage(Plain("<html><body><p>" + std::string(Tr("找不到帮助页面: ")) + page + "</p></body></html>"));
      return;
    }
    char* real = ::realpath(FolderOf(page).c_str(), nullptr);
    folder_ = real ? std::string(real) + "/" : FolderOf(page);
    std::free(real);
    html_->SetPage(U(text));
  }

  wxHtmlWindow* html_;
  std::string folder_;
  static inline HelpViewer* viewer_ = nullptr;
};

}  // namespace

void ShowHelpTopic(const std::string& relativePath) {
  HelpViewer::Show(LocalisedFile(ApplicationFolder(), relativePath));
}

}  // namespace vantrel::app
