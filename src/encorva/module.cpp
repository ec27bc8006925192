// SPDX-License-Identifier: GPL-3.0-or-later
// Encorva.so: the exports every in-process module offers, the class factory of the
// conversion control, and self-registration from the module's own scripts.
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "base/log.h"
#include "encorva/encorva_control.h"
#include "encorva/registration_script.h"
#include "platform/com/registration.h"
#include "platform/registry/registrar.h"

using namespace vantrel::com;
using namespace vantrel::encorva;
using vantrel::registry::RegistrarMode;
using vantrel::registry::RunRegistrationScript;

namespace {

ModuleLockCount gLocks;
constexpr HRESULT SELFREG_E_TYPELIB = Code(0x80040200);
constexpr HRESULT kDiskFull = Code(0x80070070);  // the code of a full disk

HRESULT CreateControl(REFIID iid, void** object) {
  return CreateEncorvaControl(iid, object, &gLocks);
}

std::string ThisModule();

// Registration is silent for its callers; the reason of a failure goes to standard error
// for whoever runs regsvr32 by hand.
HRESULT RunScript(const char* script, RegistrarMode mode, HRESULT failure) {
  const std::string module = ThisModule();
  auto result = RunRegistrationScript(
      script,
      {{"MODULE", module}, {"MODULEDIR", std::filesystem::path(module).parent_path().string()}},
      mode);
  if (result.ok) return S_OK;
  vantrel::LogError("Encorva: " + result.error);
  // A write the system refused reports why, as a registry write failure code would.
  switch (result.systemError) {
    case EACCES:
    case EPERM:
    case EROFS: return E_ACCESSDENIED;
    case ENOSPC:
    case EDQUOT: return kDiskFull;
    default: return failure;
  }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                                  void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_Encorva) return CLASS_E_CLASSNOTAVAILABLE;
  return CreateAndQuery<ClassFactory>(iid, object, &CreateControl, &gLocks);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow() { return gLocks.CanUnloadNow(); }

__attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  HRESULT hr = RunScript(kRegistrationScript, RegistrarMode::Register, SELFREG_E_CLASS);
  if (FAILED(hr)) return hr;
  return RunScript(kTypeLibraryScript, RegistrarMode::Register, SELFREG_E_TYPELIB);
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  HRESULT classes = RunScript(kRegistrationScript, RegistrarMode::Unregister, SELFREG_E_CLASS);
  HRESULT library = RunScript(kTypeLibraryScript, RegistrarMode::Unregister, SELFREG_E_TYPELIB);
  return FAILED(classes) ? classes : library;
}

}  // extern "C"

namespace {
std::string ThisModule() { return ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer)); }
}  // namespace
