#include "app/dialog_slots.h"

namespace vantrel::app {

void InstallDialogSlots(MainWindowSlots& slots) {
  // The menu designer and the burn dialogs plug in here, e.g.
  //   slots.designMenu = [](wxWindow* parent, MenuModel& model, const TitleList&, AppSettings& s) {
  //     return RunMenuDesigner(parent, model, s);
  //   };
  (void)slots;
}

}  // namespace vantrel::app
