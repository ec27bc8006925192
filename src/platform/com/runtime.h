// SPDX-License-Identifier: GPL-3.0-or-later
// Creating objects by class id. A class is found first in the registry
// (HKCR\CLSID\{...}\InprocServer32 names a module, loaded with dlopen and asked through its
// DllGetClassObject export), then among the platform's own built-in classes. Modules stay
// loaded while their objects live: CoFreeUnusedLibraries and the last CoUninitialize unload
// those whose DllCanUnloadNow answers S_OK.
#pragma once

#include <string>
#include <vector>

#include "platform/com/unknown.h"

namespace vantrel::com {

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC | CLSCTX_LOCAL_SERVER;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr DWORD COINIT_MULTITHREADED = 0x0;

// Per thread and counted: S_OK the first time, S_FALSE when already initialised.
HRESULT CoInitialize(void* reserved = nullptr);
HRESULT CoInitializeEx(void* reserved, DWORD flags);
void CoUninitialize();

// Initialises the calling thread for its lifetime.
class ScopedCoInitialize {
 public:
  ScopedCoInitialize() { CoInitialize(); }
  ~ScopedCoInitialize() { CoUninitialize(); }
  ScopedCoInitialize(const ScopedCoInitialize&) = delete;
  ScopedCoInitialize& operator=(const ScopedCoInitialize&) = delete;
};

bool IsThreadInitialised();

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object);
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID iid,
                         void** object);
// HKCR\<progId>\CLSID default value.
HRESULT CLSIDFromProgID(const std::string& progId, CLSID* clsid);
// Why the registry behind class lookups and registration cannot be used, naming its folder
// and the system's reason ("" when it can be read and written). Class-not-registered and
// registration failures often have this as their cause.
std::string RegistryProblem();
void CoFreeUnusedLibraries();
// Paths of the modules loaded right now (for diagnostics and tests).
std::vector<std::string> LoadedModules();

// Built-in classes: the platform's own objects, created without a module.
using ClassCreator = HRESULT (*)(REFIID iid, void** object);
// Adds or replaces a built-in class and returns what was there before (null if nothing),
// so a test can put a double in place and restore the original.
ClassCreator RegisterBuiltinClass(REFCLSID clsid, ClassCreator creator);

// Exports every in-process module offers.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

}  // namespace vantrel::com
