// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dialog_slots.h"

#include <wx/dialog.h>
#include <wx/utils.h>

#include <optional>

#include "app/app_windows.h"
#include "burn/disc_library.h"
#include "burn/folder_burn_check.h"
#include "burn/ui/burn_dialog.h"
#include "burn/ui/burn_folder_dialog.h"
#include "menu/ui/menu_design_dialog.h"
#include "project/app_settings.h"

namespace vantrel::app {

void InstallDialogSlots(MainWindowSlots& slots) {
  slots.designMenu = [](wxWindow* parent, MenuModel& model, const TitleList& titles,
                        AppSettings& settings) {
    CMenuDesignDlg designer(parent, model, titles, settings);
    return designer.ShowModal() == wxID_OK;
  };
  slots.burn = [](wxWindow* parent, MenuModel& model, const TitleList& titles, AppSettings& settings) {
    // The wait cursor shows while the dialog looks for recorders and reads the medium; the
    // dialog itself, open through a whole run, is used with the ordinary one.
    std::optional<wxBusyCursor> wait;
    wait.emplace();
    CBurnDlg dialog(parent, settings, model, titles);
    wait.reset();
    dialog.ShowModal();
  };
  slots.folderBurn = [](wxWindow* parent, AppSettings& settings) {
    // The folder the last run built in the work folder is offered, when there is one.
    std::string built;
    if (!ValidateVideoTsFolder(settings.temppath, built)) built.clear();
    CBurnFolderDlg dialog(parent, ImageRecorderList(settings.temppath, settings.IniPath()), built,
                          [](const std::string& page) { ShowHelpTopic(page); });
    dialog.ShowModal();
  };
}

}  // namespace vantrel::app
