// SPDX-License-Identifier: GPL-3.0-or-later
// Where the windows of the menu designer and the burn dialogs plug into the main window.
// The application fills these at start-up (dialog_slots.cpp); an empty slot leaves its
// button with a note that the window is not part of this build.
#pragma once

#include <functional>

class wxWindow;

namespace vantrel {
class MenuModel;
class TitleList;
struct AppSettings;
}  // namespace vantrel

namespace vantrel::app {

struct MainWindowSlots {
  // "菜单": edits the menu model, already rebuilt from the titles with the current layout.
  // True when the designer closed with OK (the layout text is refreshed then).
  std::function<bool(wxWindow* parent, MenuModel& model, const TitleList& titles, AppSettings& settings)>
      designMenu;
  // "运行", after the disc format dialog: the burn dialog, modal, over the titles.
  std::function<void(wxWindow* parent, MenuModel& model, const TitleList& titles, AppSettings& settings)>
      burn;
  // "刻录": the folder burn dialog, modal.
  std::function<void(wxWindow* parent, AppSettings& settings)> folderBurn;
};

// Fills the slots with the windows this build has.
void InstallDialogSlots(MainWindowSlots& slots);

}  // namespace vantrel::app
