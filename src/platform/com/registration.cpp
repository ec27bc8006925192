// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com/registration.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include "platform/com/unknown.h"
#include "platform/registry/registry.h"

namespace vantrel::com {

std::string ModulePathOf(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return {};
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

HRESULT RegisterInprocServer(REFCLSID clsid, const std::string& name,
                             const std::string& modulePath, const std::string& progId,
                             const std::string& threadingModel) {
  std::string clsidText = GuidToString(clsid);
  std::string key = "CLSID\\" + clsidText;
  bool ok = registry::Edit(registry::Root::ClassesRoot, [&](Hive& hive) {
    hive.SetValue(key, "", RegistryValue::String(name));
    hive.SetValue(key + "\\InprocServer32", "", RegistryValue::String(modulePath));
    hive.SetValue(key + "\\InprocServer32", "ThreadingModel",
                  RegistryValue::String(threadingModel));
    if (!progId.empty()) {
      hive.SetValue(key + "\\ProgID", "", RegistryValue::String(progId));
      hive.SetValue(progId, "", RegistryValue::String(name));
      hive.SetValue(progId + "\\CLSID", "", RegistryValue::String(clsidText));
    }
    return true;
  });
  return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterInprocServer(REFCLSID clsid, const std::string& progId) {
  bool ok = registry::Edit(registry::Root::ClassesRoot, [&](Hive& hive) {
    hive.DeleteKey("CLSID\\" + GuidToString(clsid));
    if (!progId.empty()) hive.DeleteKey(progId);
    return true;
  });
  return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace vantrel::com
