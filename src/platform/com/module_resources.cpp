// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com/module_resources.h"

#include <dlfcn.h>

namespace vantrel::com {

bool LoadModuleResource(const std::string& modulePath, const std::string& type, int id, std::string& bytes,
                        std::string* error) {
  auto fail = [&](std::string why) {
    if (error) *error = std::move(why);
    return false;
  };
  void* handle = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    return fail(why ? why : "the module could not be loaded");
  }
  auto find = reinterpret_cast<ModuleResourceFunction>(dlsym(handle, kModuleResourceExport));
  const void* data = nullptr;
  std::size_t size = 0;
  bool found = false;
  if (!find) {
    fail(modulePath + " carries no resources");
  } else if (find(type.c_str(), id, &data, &size) != S_OK || (!data && size)) {
    fail(modulePath + " has no resource " + type + " " + std::to_string(id));
  } else {
    bytes.assign(static_cast<const char*>(data), size);
    found = true;
  }
  dlclose(handle);
  return found;
}

}  // namespace vantrel::com
