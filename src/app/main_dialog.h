// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: buttons, the title list, the duration gauge and the status texts over
// MainWindowLogic; it opens every other window of the program.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

// The core's headers come before wx's: the toolkit defines TRUE and FALSE as macros.
#include "app/dialog_slots.h"
#include "app/main_window_logic.h"
#include "app/project_session.h"
#include "media/add_titles.h"
#include "media/regrab.h"
#include "media/thumbnail_owner.h"
#include "menu/menu_model.h"
#include "project/support_info.h"

#include <wx/dialog.h>
#include <wx/timer.h>

class wxStaticText;
class wxButton;
class wxProgressDialog;

namespace vantrel::app {

class DurationGauge;
class TitleListView;

class MainDialog : public wxDialog,
                   private MainWindowView,
                   private TitleListObserver,
                   private AddTitlesView,
                   private RegrabView,
                   private ProjectSessionView {
 public:
  MainDialog(AppSettings& settings, MainWindowSlots slots);
  ~MainDialog() override;

  // Files given on the command line or dropped on the list become titles; a project file
  // among them is opened.
  void AddFileList(const std::vector<std::string>& files);
  // At start-up: the restore of a crashed run's changes is offered, then the command line's
  // project is opened and its videos are added.
  void StartWith(const std::vector<std::string>& files);
  TitleList& Titles() { return logic_.Titles(); }
  // Off when the program was started for automation: no tip window then.
  void SetStartUpTips(bool show) { startUpTips_ = show; }

 private:
  void BuildControls();
  void BindCommands();
  void ReapplyButtonArt();
  void OnMenuCommand(wxCommandEvent& event);
  void BuildProjectMenu(wxSizer* buttonRow);
  void ShowProjectMenu();
  // The project's commands by menu id; false for another id.
  bool OnProjectCommand(int id);
  // Runs a command of the window, then lets the title bar follow the project.
  void RunCommand(int id);

  // MainWindowView
  void ShowInformation(const std::string& text) override;
  void SetStatusText(int controlId, const std::string& text) override;
  // Shows the work folder's text in the room its label has.
  void FitFolderText();
  void ShowPopupMenu(int menuResource) override;
  void AddFiles() override;
  void EditSelected() override;
  void RefreshList() override;
  bool RunMenuDesigner() override;
  bool RunDiscFormat(DiscFormatLogic& format) override;
  void RunBurn() override;
  void RunFolderBurn() override;
  void RunSettings() override;
  void ApplySkin(int skin) override;
  void OpenLink(const std::string& link) override;
  void ShowHelpTopic(const std::string& path) override;
  void ShowAbout() override;
  void ShowTips() override;
  // TitleListObserver
  void OnRowsChanged() override;
  void OnTotalDurationChanged(int seconds) override;
  // AddTitlesView
  bool ChooseFiles(std::vector<std::string>& files) override;
  void ShowProgress(const std::string& text) override;
  void CloseProgress() override;
  void ShowDecoderNotice(const std::string& path) override;
  void RefuseFile(const std::string& path, const std::string& reason) override;
  void ShowTotalDuration(int seconds) override;
  std::vector<LoadedTitle> LoadTitles(ThumbnailOwner& owner, const std::vector<TitleFileRequest>& files,
                                      int firstRow, const TitleCheck& check) override;
  void TellRefused(wxWindow* parent, const std::string& path, const std::string& reason);
  // RegrabView
  void ShowDecoderNotice() override;
  void SetListColumn3(int row, const std::string& text) override;
  // ProjectSessionView
  DiscProject CurrentProject() override;
  void ShowProject(const DiscProject& project) override;
  void SetWindowTitle(const std::string& title) override;
  void ShowRecent(const std::vector<std::string>& files) override;
  void ShowMessage(const std::string& text) override;
  Answer Ask(const std::string& question, bool withCancel) override;
  bool ChooseProjectToOpen(std::string& path) override;
  bool ChooseProjectToSave(const std::string& suggested, std::string& path) override;
  bool ChooseFolder(std::string& folder) override;

  AppSettings& settings_;
  MainWindowSlots slots_;
  MainWindowLogic logic_;
  SupportInfo support_;
  ThumbnailHost thumbnails_;
  MenuModel menuModel_;
  TitleListView* list_ = nullptr;
  DurationGauge* gauge_ = nullptr;
  std::map<int, wxStaticText*> statusTexts_;
  wxString folderText_;  // the work folder's whole status text; its label may show less
  std::map<int, wxButton*> buttons_;
  // Burn windows open over this one: the main window stays until they are closed, whatever
  // the toolkit's modal grab lets through (a message box of theirs can end the grab).
  int windowsAbove_ = 0;
  bool loading_ = false;  // titles are being loaded; the window stays until they are in
  bool startUpTips_ = true;
  ProjectRecovery recovery_;
  RecentProjects recent_;
  ProjectSession session_;
  std::vector<std::string> recentFiles_;
  wxButton* projectButton_ = nullptr;
  wxTimer recoveryTimer_;
};

// wx ids of the project button and its menu's commands (Ctrl+N, Ctrl+O, Ctrl+S,
// Shift+Ctrl+S); the recent projects follow kProjectRecentId.
inline constexpr int kProjectButtonId = 1100;
inline constexpr int kProjectNewId = 21001, kProjectOpenId = 21002, kProjectSaveId = 21003,
                     kProjectSaveAsId = 21004, kProjectRecentId = 21100;
inline bool IsProjectCommandId(int id) { return id >= kProjectNewId && id < kProjectRecentId + 16; }

// wx ids of the popup menus' commands; the menus' own numbers lie above wx's id range.
int WxIdOfCommand(int command);
int CommandOfWxId(int wxId);

}  // namespace vantrel::app
