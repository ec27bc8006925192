// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/accessible_name.h"

#include "app/gtk_glue.h"
#include "base/translation.h"
#include <wx/window.h>

namespace vantrel::app {

void SetAccessibleName(wxWindow* window, const std::string& name) {
  if (!window) return;
  GtkWidget* widget = window->GetHandle();
  if (!widget) return;
  if (AtkObject* accessible = gtk_widget_get_accessible(widget))
    atk_object_set_name(accessible, Tr(name.c_str()));
}

}  // namespace vantrel::app
