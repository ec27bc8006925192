#include "app/dialog_slots.h"

#include <wx/dialog.h>

#include "app/app_windows.h"
#include "burn/disc_library.h"
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
    CBurnDlg dialog(parent, settings, model, titles);
    dialog.ShowModal();
  };
  slots.folderBurn = [](wxWindow* parent, AppSettings& settings) {
    CBurnFolderDlg dialog(parent, ImageRecorderList(settings.temppath, settings.IniPath()), "",
                          [](const std::string& page) { ShowHelpTopic(page); });
    dialog.ShowModal();
  };
}

}  // namespace vantrel::app
