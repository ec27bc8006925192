// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/accessible_label.h"

#include <dlfcn.h>

namespace vantrel {

void SetAccessibleLabel(wxWindow* window, const std::string& name) {
  // The toolkit under wx is already loaded; its two accessibility calls are looked up in
  // the process rather than linked, as no toolkit headers are needed for them.
  using GetAccessible = void* (*)(void*);
  using SetName = void (*)(void*, const char*);
  static const auto getAccessible = reinterpret_cast<GetAccessible>(dlsym(RTLD_DEFAULT, "gtk_widget_get_accessible"));
  static const auto setName = reinterpret_cast<SetName>(dlsym(RTLD_DEFAULT, "atk_object_set_name"));
  if (!window || !getAccessible || !setName || !window->GetHandle()) return;
  if (void* accessible = getAccessible(window->GetHandle())) setName(accessible, name.c_str());
}

}  // namespace vantrel
