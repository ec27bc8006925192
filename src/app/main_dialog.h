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
                   private RegrabView {
 public:
  MainDialog(AppSettings& settings, MainWindowSlots slots);
  ~MainDialog() override;

  // Files given on the command line or dropped on the list become titles.
  void AddFileList(const std::vector<std::string>& files);
  TitleList& Titles() { return logic_.Titles(); }
  // Off when the program was started for automation: no tip window then.
  void SetStartUpTips(bool show) { startUpTips_ = show; }

 private:
  void BuildControls();
  void BindCommands();
  void ReapplyButtonArt();
  void OnMenuCommand(wxCommandEvent& event);

  // MainWindowView
  void ShowInformation(const std::string& text) override;
  void SetStatusText(int controlId, const std::string& text) override;
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
  void ShowTotalDuration(int seconds) override;
  // RegrabView
  void ShowDecoderNotice() override;
  void SetListColumn3(int row, const std::string& text) override;

  AppSettings& settings_;
  MainWindowSlots slots_;
  MainWindowLogic logic_;
  SupportInfo support_;
  ThumbnailHost thumbnails_;
  MenuModel menuModel_;
  TitleListView* list_ = nullptr;
  DurationGauge* gauge_ = nullptr;
  std::map<int, wxStaticText*> statusTexts_;
  std::map<int, wxButton*> buttons_;
  wxDialog* progress_ = nullptr;
  wxStaticText* progressText_ = nullptr;
  std::unique_ptr<class wxWindowDisabler> disabler_;
  wxTimer platformQueue_;
  bool startUpTips_ = true;
};

// wx ids of the popup menus' commands; the menus' own numbers lie above wx's id range.
int WxIdOfCommand(int command);
int CommandOfWxId(int wxId);

}  // namespace vantrel::app
