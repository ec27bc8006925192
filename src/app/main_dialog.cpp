// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_dialog.h"

#include <cstdlib>
#include <iterator>

#include <wx/accel.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "app/accessible_name.h"
#include "app/app_windows.h"
#include "app/button_art.h"
#include "app/duration_gauge.h"
#include "app/link_opener.h"
#include "app/startup_steps.h"
#include "app/title_list_view.h"
#include "app/title_loading_window.h"
#include "app/wx_text.h"
#include "authoring/title_check.h"
#include "base/app_folder.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "platform/skin/skin_library.h"
#include "platform/window/window.h"
#include "project/project_file.h"

namespace vantrel::app {
namespace {

// The popup menus' commands (32771 ...) lie above the ids wx accepts; they travel as these.
constexpr int kFirstMenuCommand = ids::kCmdMoveUp, kLastMenuCommand = ids::kCmdAbout;
constexpr int kMenuWxIdBase = 20000;
constexpr int kLargeButtonPicture = 32, kSmallButtonPicture = 16;

// The filter of the open dialog as GTK wants it: no trailing "||" and no blanks in patterns.
wxString ChooserFilter() {
  std::string filter = kAddFilesFilter;
  while (!filter.empty() && filter.back() == '|') filter.pop_back();
  std::string out;
  bool pattern = false;
  for (size_t i = 0; i < filter.size(); ++i) {
    const char c = filter[i];
    if (c == '|') pattern = !pattern;
    if (pattern && c == ' ') continue;
    out += c;
  }
  return U(out);
}

class FileDrop : public wxFileDropTarget {
 public:
  explicit FileDrop(MainDialog& window) : window_(window) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
    std::vector<std::string> files;
    for (const wxString& name : names) files.push_back(S(name));
    // Adding pumps messages; the drop itself must end first.
    window_.CallAfter([this, files] { window_.AddFileList(files); });
    return true;
  }

 private:
  MainDialog& window_;
};

}  // namespace

int WxIdOfCommand(int command) {
  return (command >= kFirstMenuCommand && command <= kLastMenuCommand)
             ? kMenuWxIdBase + command - kFirstMenuCommand
             : command;
}

int CommandOfWxId(int wxId) {
  return (wxId >= kMenuWxIdBase && wxId <= kMenuWxIdBase + kLastMenuCommand - kFirstMenuCommand)
             ? wxId - kMenuWxIdBase + kFirstMenuCommand
             : wxId;
}

MainDialog::MainDialog(AppSettings& settings, MainWindowSlots slots)
    : wxDialog(nullptr, wxID_ANY, U(main_texts::kCaption), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX),
      settings_(settings),
      slots_(std::move(slots)),
      logic_(settings, *this),
      support_(ReadSupportInfo()),
      recent_(RecentProjects::DefaultListPath()),
      session_(*this, recovery_, recent_) {
  logic_.SetSupportLinks(support_.homepage, support_.mailto);
  wxIconBundle icons;
  for (int size : {16, 32, 48, 64}) {
    wxIcon icon;
    icon.CopyFromBitmap(ProgramIcon(size));
    icons.AddIcon(icon);
  }
  SetIcons(icons);
  BuildControls();
  BindCommands();
  logic_.Titles().SetObserver(this);
  logic_.RefreshStatusTexts();
  app::ApplySkin(this);

  session_.Start();
  // Unsaved changes are kept for a crash every minute (VANTREL_RECOVERY_SECONDS sets
  // another period, for tests).
  int period = 60;
  if (const char* seconds = std::getenv("VANTREL_RECOVERY_SECONDS"); seconds && std::atoi(seconds) > 0)
    period = std::atoi(seconds);
  recoveryTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { session_.KeepUnsaved(); });
  recoveryTimer_.Start(period * 1000);
  CallAfter([this] {
    if (startUpTips_) ShowTipWindow(this, true);
  });
}

MainDialog::~MainDialog() {
  recoveryTimer_.Stop();
  logic_.Titles().SetObserver(nullptr);
}

void MainDialog::BuildControls() {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* buttonRow = new wxBoxSizer(wxHORIZONTAL);
  for (const ButtonInfo& info : LargeButtons()) {
    auto* button = new wxButton(this, info.id, U(info.caption), wxDefaultPosition, wxSize(72, 68));
    // A caption longer than the picture (as translations often are) widens its button.
    const int captionWidth = button->GetTextExtent(U(info.caption)).x + 16;
    if (captionWidth > 72) button->SetMinSize(wxSize(captionWidth, 68));
    buttons_[info.id] = button;
    buttonRow->Add(button, 0, wxRIGHT, 4);
  }
  BuildProjectMenu(buttonRow);
  top->Add(buttonRow, 0, wxEXPAND | wxALL, 6);

  auto* middle = new wxBoxSizer(wxHORIZONTAL);
  list_ = new TitleListView(this, ids::kList, logic_.Titles());
  list_->SetDropTarget(new FileDrop(*this));
  middle->Add(list_, 1, wxEXPAND);
  auto* small = new wxBoxSizer(wxVERTICAL);
  for (const ButtonInfo& info : SmallButtons()) {
    auto* button = new wxButton(this, info.id, wxString(), wxDefaultPosition, wxSize(34, 34));
    buttons_[info.id] = button;
    SetAccessibleName(button, info.tooltip);
    small->Add(button, 0, wxBOTTOM, 4);
  }
  middle->Add(small, 0, wxLEFT, 6);
  top->Add(middle, 1, wxEXPAND | wxLEFT | wxRIGHT, 6);

  gauge_ = new DurationGauge(this, ids::kGauge);
  gauge_->Disable();
  top->Add(gauge_, 0, wxEXPAND | wxALL, 6);

  auto* texts = new wxBoxSizer(wxHORIZONTAL);
  // The style and the size take the room their texts need, the work folder the rest: a path
  // too long for it loses its beginning, so that the folder's own name stays in sight.
  for (int id : {ids::kMenuStyleText, ids::kMovieSizeText, ids::kTempFolderText}) {
    const bool folder = id == ids::kTempFolderText;
    auto* text = new wxStaticText(this, id, wxString(), wxDefaultPosition, wxDefaultSize,
                                  folder ? wxST_NO_AUTORESIZE : 0);
    statusTexts_[id] = text;
    texts->Add(text, folder ? 1 : 0, wxRIGHT, 16);
  }
  statusTexts_[ids::kTempFolderText]->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    FitFolderText();
  });
  top->Add(texts, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
  SetSizerAndFit(top);
  SetSize(wxSize(760, 560));
  SetMinSize(wxSize(700, 420));
  ReapplyButtonArt();
  Centre();
}

void MainDialog::ReapplyButtonArt() {
  for (const auto* infos : {&LargeButtons(), &SmallButtons()}) {
    for (const ButtonInfo& info : *infos) {
      wxButton* button = buttons_[info.id];
      const bool large = *info.caption != '\0';
      button->SetBitmap(ButtonBitmap(info.bitmap, large ? kLargeButtonPicture : kSmallButtonPicture),
                        large ? wxTOP : wxLEFT);
      button->SetToolTip(U(info.tooltip));
    }
  }
}

void MainDialog::BindCommands() {
  // Commands run after the click has returned: many open modal windows, and a click that
  // came through the accessibility bus must be answered before a nested loop starts.
  Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) {
    const int id = event.GetId();
    if (buttons_.count(id))
      CallAfter([this, id] { RunCommand(id); });
    else if (id == kProjectButtonId)
      CallAfter([this] { ShowProjectMenu(); });
    else
      event.Skip();
  });
  Bind(wxEVT_MENU, &MainDialog::OnMenuCommand, this);
  list_->Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU, [this](wxDataViewEvent& event) {
    const int row = list_->RowOf(event.GetItem());
    if (row >= 0) logic_.Titles().Select(row);
    logic_.OnListRightClick();
  });
  list_->Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED, [this](wxDataViewEvent&) { EditSelected(); });
  wxAcceleratorEntry keys[] = {
      wxAcceleratorEntry(wxACCEL_NORMAL, WXK_DELETE, ids::kRemove),
      wxAcceleratorEntry(wxACCEL_NORMAL, WXK_INSERT, ids::kAdd),
      wxAcceleratorEntry(wxACCEL_CTRL, 'N', kProjectNewId),
      wxAcceleratorEntry(wxACCEL_CTRL, 'O', kProjectOpenId),
      wxAcceleratorEntry(wxACCEL_CTRL, 'S', kProjectSaveId),
      wxAcceleratorEntry(wxACCEL_CTRL | wxACCEL_SHIFT, 'S', kProjectSaveAsId),
  };
  SetAcceleratorTable(wxAcceleratorTable(int(std::size(keys)), keys));
  // The accelerators arrive as menu events with the control ids.
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
    // While files are being added the window stays: the add still works on its list.
    if ((loading_ || windowsAbove_ > 0) && event.CanVeto()) {
      event.Veto();
      return;
    }
    // Unsaved changes: asked about before they are given up.
    if (event.CanVeto() && !session_.MayClose()) {
      event.Veto();
      return;
    }
    EndModal(wxID_CANCEL);
  });
  // Escape closes the window, as the close box does (the window has no cancel button).
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE && !loading_ && windowsAbove_ == 0)
      Close();
    else
      event.Skip();
  });
}

void MainDialog::OnMenuCommand(wxCommandEvent& event) {
  const int id = event.GetId();
  if (IsProjectCommandId(id)) {
    CallAfter([this, id] { OnProjectCommand(id); });
    return;
  }
  const int command = CommandOfWxId(id);
  CallAfter([this, command] { RunCommand(command); });
}

void MainDialog::RunCommand(int id) {
  logic_.OnCommand(id);
  session_.Refresh();
}

void MainDialog::ShowInformation(const std::string& text) { app::ShowInformation(this, text); }

void MainDialog::SetStatusText(int controlId, const std::string& text) {
  auto it = statusTexts_.find(controlId);
  if (it == statusTexts_.end()) return;
  it->second->SetToolTip(U(text));
  if (controlId == ids::kTempFolderText) {
    folderText_ = U(text);
    FitFolderText();
  } else {
    it->second->SetLabel(U(text));
    Layout();
  }
}

void MainDialog::FitFolderText() {
  wxStaticText* label = statusTexts_[ids::kTempFolderText];
  const int room = label->GetClientSize().x;
  wxString shown = folderText_;
  if (room > 0 && label->GetTextExtent(shown).x > room) {
    const int colon = shown.Find(": ");
    const wxString lead = colon == wxNOT_FOUND ? wxString() : shown.Left(colon + 2);
    const wxString path = shown.Mid(lead.length());
    wxClientDC dc(label);
    dc.SetFont(label->GetFont());
    shown = lead + wxControl::Ellipsize(path, dc, wxELLIPSIZE_START, room - label->GetTextExtent(lead).x);
  }
  if (label->GetLabel() != shown) label->SetLabel(shown);
}

void MainDialog::ShowPopupMenu(int menuResource) {
  wxMenu menu;
  // The skin menu marks the skin in use; its entries are in the skins' order.
  const bool skins = menuResource == ids::kSkinMenu;
  int index = 0;
  for (const MenuItemInfo& item : PopupMenuItems(menuResource)) {
    if (item.id == 0)
      menu.AppendSeparator();
    else if (skins)
      menu.AppendRadioItem(WxIdOfCommand(item.id), U(item.text))->Check(index++ == settings_.skin);
    else
      menu.Append(WxIdOfCommand(item.id), U(item.text));
  }
  // At the pointer when it is over the window, else just inside its client area.
  wxPoint at = ScreenToClient(wxGetMousePosition());
  if (!GetClientRect().Contains(at)) at = wxPoint(5, 5);
  PopupMenu(&menu, at);
}

void MainDialog::AddFiles() {
  vantrel::AddFiles(logic_.Titles(), thumbnails_, *this, TitleUnusableReason);
  logic_.RefreshStatusTexts();
}

void MainDialog::AddFileList(const std::vector<std::string>& files) {
  // A project among them is opened (the question about unsaved changes comes first); the
  // videos become titles of whatever project is open then.
  std::vector<std::string> videos;
  for (const std::string& file : files) {
    if (IsProjectFileName(file))
      session_.OpenFile(file);
    else
      videos.push_back(file);
  }
  if (videos.empty()) return;
  AddTitleFiles(logic_.Titles(), thumbnails_, *this, videos, TitleUnusableReason);
  logic_.RefreshStatusTexts();
  session_.Refresh();
}

void MainDialog::EditSelected() {
  TitleList& titles = logic_.Titles();
  TitleRecord* title = titles.SelectedTitle();
  if (!title) return;
  const int row = titles.SelectedRow();
  std::vector<std::string> sources;
  for (int i = 0; i < titles.Count(); ++i) sources.push_back(titles.At(i).SourcePath);
  if (RunPropertySheet(this, *title, TitleMakingChoicesOf(settings_), sources, size_t(row))) {
    wxBusyCursor busy;
    RegrabThumbnail(thumbnails_, *this, *title, row, titles.Thumbnails(), settings_.temppath);
    titles.SetRowImage(row, title->ImageIndex);
    titles.SetTitleText(row, title->DisplayTitle);
  }
  list_->Reload();
  list_->SetFocus();
  session_.Refresh();
}

void MainDialog::RefreshList() {
  list_->Reload();
  list_->SetFocus();
}

bool MainDialog::RunMenuDesigner() {
  menuModel_.Rebuild(logic_.Titles(), settings_.layout, settings_.IsNtsc());
  if (!slots_.designMenu) {
    ShowInformation(Tr("菜单设计窗口不在此版本中。"));
    return false;
  }
  return slots_.designMenu(this, menuModel_, logic_.Titles(), settings_);
}

bool MainDialog::RunDiscFormat(DiscFormatLogic& format) {
  return RunDiscFormatDialog(this, format);
}

void MainDialog::RunBurn() {
  if (!slots_.burn) {
    ShowInformation(Tr("刻录窗口不在此版本中。"));
    return;
  }
  ++windowsAbove_;
  slots_.burn(this, menuModel_, logic_.Titles(), settings_);  // the slot shows the wait cursor
  --windowsAbove_;
}

void MainDialog::RunFolderBurn() {
  if (!slots_.folderBurn) {
    ShowInformation(Tr("刻录窗口不在此版本中。"));
    return;
  }
  wxBusyCursor wait;
  ++windowsAbove_;
  slots_.folderBurn(this, settings_);
  --windowsAbove_;
}

void MainDialog::RunSettings() { RunSettingsDialog(this, settings_); }

void MainDialog::ApplySkin(int skin) {
  skin::SkinLibrary& skins = skin::Skins();
  const auto self = skin::WindowId(this);
  if (skin == 0) {
    skins.RemoveDialogSkin();
    skins.RemoveWindowSkin(self);
  } else {
    skins.LoadSkin(ApplicationFolder() + SkinFileName(skin));
    skins.SetDialogSkin("Dialog");
    skins.SetWindowSkin(self, "Dialog");
  }
  app::ApplySkin(this);
  ReapplyButtonArt();
  Refresh();
}

void MainDialog::OpenLink(const std::string& link) { app::OpenLink(link); }
void MainDialog::ShowHelpTopic(const std::string& path) { app::ShowHelpTopic(path); }
void MainDialog::ShowAbout() { ShowAboutBox(this, support_); }
void MainDialog::ShowTips() { ShowTipWindow(this, false); }

void MainDialog::OnRowsChanged() {
  list_->Reload();
  session_.Refresh();
}
void MainDialog::OnTotalDurationChanged(int seconds) { gauge_->SetTotal(seconds); }

bool MainDialog::ChooseFiles(std::vector<std::string>& files) {
  wxFileDialog dialog(this, U(kAddFilesTitle), wxString(), wxString(), ChooserFilter(),
                      wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return false;
  wxArrayString paths;
  dialog.GetPaths(paths);
  for (const wxString& path : paths) files.push_back(S(path));
  return !files.empty();
}

std::vector<LoadedTitle> MainDialog::LoadTitles(ThumbnailOwner& owner, const std::vector<TitleFileRequest>& files,
                                                int firstRow, const TitleCheck& check) {
  loading_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{loading_};
  return LoadTitlesWithProgress(this, owner, files, firstRow, check,
                                [this](wxWindow* parent, const TitleLoadingNotice& notice) {
                                  if (notice.reason.empty())
                                    app::ShowDecoderNotice(parent, notice.path);
                                  else
                                    TellRefused(parent, notice.path, notice.reason);
                                });
}

// The loading window says what is happening; the main window has nothing more to show.
void MainDialog::ShowProgress(const std::string&) {}

void MainDialog::CloseProgress() { Raise(); }

void MainDialog::ShowDecoderNotice(const std::string& path) { app::ShowDecoderNotice(this, path); }

void MainDialog::RefuseFile(const std::string& path, const std::string& reason) { TellRefused(this, path, reason); }

void MainDialog::TellRefused(wxWindow* parent, const std::string& path, const std::string& reason) {
  // A file the program reads but cannot decode gets the decoder notice, which says how
  // to get a decoder; every other file is refused with its reason.
  if (reason == kUndecodableReason || reason == Tr(kUndecodableReason))
    app::ShowDecoderNotice(parent, path);
  else
    app::ShowInformation(parent, Format(Tr("无法添加文件 %s: %s\n该文件没有加入影片列表。"), path.c_str(), reason.c_str()));
}
void MainDialog::ShowDecoderNotice() { app::ShowDecoderNotice(this); }
void MainDialog::ShowTotalDuration(int seconds) { gauge_->SetTotal(seconds); }
void MainDialog::SetListColumn3(int row, const std::string& text) { logic_.Titles().SetTitleText(row, text); }

}  // namespace vantrel::app
