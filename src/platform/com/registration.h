// SPDX-License-Identifier: GPL-3.0-or-later
// What a module's DllRegisterServer and DllUnregisterServer write: the class keys under
// HKEY_CLASSES_ROOT that CoCreateInstance reads.
#pragma once

#include <string>

#include "platform/com/guid.h"
#include "platform/com/types.h"

namespace vantrel::com {

// Full path of the module (program or shared library) that holds `address`; pass the
// address of a function of the module.
std::string ModulePathOf(const void* address);

// HKCR\CLSID\{clsid} (default = name) and its InprocServer32 (default = module path,
// ThreadingModel); with a ProgID also HKCR\<progId>\CLSID. SELFREG_E_CLASS on failure.
HRESULT RegisterInprocServer(REFCLSID clsid, const std::string& name,
                             const std::string& modulePath, const std::string& progId = {},
                             const std::string& threadingModel = "Apartment");
// Removes what RegisterInprocServer wrote; S_OK also when it was not there.
HRESULT UnregisterInprocServer(REFCLSID clsid, const std::string& progId = {});

}  // namespace vantrel::com
