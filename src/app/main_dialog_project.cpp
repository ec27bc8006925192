// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's project menu and its side of the project commands: the project as the
// window shows it (titles, menu design, the disc's choices) and back, and the file, folder
// and question dialogs the commands need.
// The core's headers come before wx's: the toolkit defines TRUE and FALSE as macros.
#include "app/accessible_name.h"
#include "app/app_windows.h"
#include "app/main_dialog.h"
#include "app/title_list_view.h"
#include "app/wx_text.h"
#include "authoring/title_check.h"
#include "base/paths.h"
#include "media/project_titles.h"
#include "project/project_file.h"

#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>

namespace vantrel::app {

void MainDialog::BuildProjectMenu(wxSizer* buttonRow) {
  // The contract's buttons fill the row from the left; the project menu takes the room
  // at its right end.
  buttonRow->AddStretchSpacer();
  projectButton_ = new wxButton(this, kProjectButtonId, U(project_texts::kMenuButton) + wxString::FromUTF8(" ▾"),
                                wxDefaultPosition, wxSize(-1, 30));
  projectButton_->SetToolTip(U(project_texts::kMenuTooltip));
  SetAccessibleName(projectButton_, project_texts::kMenuButton);
  buttonRow->Add(projectButton_, 0, wxALIGN_TOP);
}

void MainDialog::ShowProjectMenu() {
  wxMenu menu;
  menu.Append(kProjectNewId, U(project_texts::kNew) + "\tCtrl+N");
  menu.Append(kProjectOpenId, U(project_texts::kOpen) + "\tCtrl+O");
  menu.Append(kProjectSaveId, U(project_texts::kSave) + "\tCtrl+S");
  menu.Append(kProjectSaveAsId, U(project_texts::kSaveAs) + "\tShift+Ctrl+S");
  menu.AppendSeparator();
  auto* recent = new wxMenu;
  for (std::size_t i = 0; i < recentFiles_.size(); ++i)
    recent->Append(kProjectRecentId + int(i), wxString::Format("%d %s", int(i + 1), U(recentFiles_[i])));
  if (recentFiles_.empty()) recent->Append(wxID_ANY, U(project_texts::kNoRecent))->Enable(false);
  menu.AppendSubMenu(recent, U(project_texts::kRecent));
  PopupMenu(&menu, projectButton_->GetPosition() + wxPoint(0, projectButton_->GetSize().y));
}

bool MainDialog::OnProjectCommand(int id) {
  // While files are being added or a run's window is open the project stays as it is.
  if (loading_ || windowsAbove_ > 0) return true;
  switch (id) {
    case kProjectNewId: {
      DiscProject empty = NewProject(settings_);
      session_.New(empty);
      return true;
    }
    case kProjectOpenId: session_.Open(); return true;
    case kProjectSaveId: session_.Save(); return true;
    case kProjectSaveAsId: session_.SaveAs(); return true;
    default:
      if (id >= kProjectRecentId && id < kProjectRecentId + int(recentFiles_.size())) {
        const std::string path = recentFiles_[size_t(id - kProjectRecentId)];
        session_.OpenFile(path);
        return true;
      }
      return false;
  }
}

void MainDialog::StartWith(const std::vector<std::string>& files) {
  session_.OfferRestore();
  AddFileList(files);
}

DiscProject MainDialog::CurrentProject() {
  DiscProject project = ProjectOf(logic_.Titles(), settings_, menuModel_.Appearance());
  project.menu.playAll = menuModel_.Choices().playAll;
  project.menu.chapterMenus = menuModel_.Choices().chapterMenus;
  project.menu.motion = menuModel_.Choices().motion;
  return project;
}

void MainDialog::ShowProject(const DiscProject& project) {
  TitleList& titles = logic_.Titles();
  titles.Clear();
  ApplyProjectChoices(project, settings_);
  menuModel_.Appearance() = project.menu.look;
  menuModel_.Choices().playAll = project.menu.playAll;
  menuModel_.Choices().chapterMenus = project.menu.chapterMenus;
  menuModel_.Choices().motion = project.menu.motion;
  if (!project.titles.empty())
    AddProjectTitleFiles(titles, thumbnails_, *this, project.titles, TitleUnusableReason);
  logic_.RefreshStatusTexts();
  list_->Reload();
}

void MainDialog::SetWindowTitle(const std::string& title) { SetTitle(U(title)); }

void MainDialog::ShowRecent(const std::vector<std::string>& files) { recentFiles_ = files; }

void MainDialog::ShowMessage(const std::string& text) { app::ShowInformation(this, text); }

ProjectSessionView::Answer MainDialog::Ask(const std::string& question, bool withCancel) {
  wxMessageDialog box(this, U(question), U(main_texts::kCaption),
                      (withCancel ? wxYES_NO | wxCANCEL : wxYES_NO) | wxICON_QUESTION);
  box.SetYesNoCancelLabels(U("是"), U("否"), U("取消"));
  switch (box.ShowModal()) {
    case wxID_YES: return kYes;
    case wxID_NO: return kNo;
    default: return withCancel ? kCancel : kNo;
  }
}

bool MainDialog::ChooseProjectToOpen(std::string& path) {
  wxFileDialog dialog(this, U(project_texts::kOpenTitle), wxString(), wxString(), U(project_texts::kFilter),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return false;
  path = S(dialog.GetPath());
  return !path.empty();
}

bool MainDialog::ChooseProjectToSave(const std::string& suggested, std::string& path) {
  wxFileDialog dialog(this, U(project_texts::kSaveTitle), U(FolderOf(suggested)), U(FileNameOf(suggested)),
                      U(project_texts::kFilter), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK) return false;
  path = S(dialog.GetPath());
  return !path.empty();
}

bool MainDialog::ChooseFolder(std::string& folder) {
  wxDirDialog dialog(this, U(project_texts::kFolderTitle), wxString(), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return false;
  folder = S(dialog.GetPath());
  return !folder.empty();
}

}  // namespace vantrel::app
