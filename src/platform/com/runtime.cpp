// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com/runtime.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <map>
#include <mutex>

#include "platform/registry/registry.h"

namespace vantrel::com {
namespace {

struct LoadedModule {
  void* handle = nullptr;
  DllGetClassObjectFn getClassObject = nullptr;
  DllCanUnloadNowFn canUnloadNow = nullptr;
};

struct Runtime {
  std::mutex lock;
  std::map<std::string, LoadedModule> modules;  // by path as registered
  std::map<GUID, ClassCreator> builtins;
  int initialisedThreads = 0;
};

Runtime& TheRuntime() {
  static Runtime runtime;  // built on first use, so static registrations of built-ins work
  return runtime;
}

thread_local int tInitCount = 0;

HRESULT LoadModuleLocked(Runtime& rt, const std::string& path, LoadedModule*& out) {
  auto it = rt.modules.find(path);
  if (it != rt.modules.end()) {
    out = &it->second;
    return S_OK;
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return CO_E_DLLNOTFOUND;
  LoadedModule module;
  module.handle = handle;
  module.getClassObject =
      reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
  module.canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
  if (!module.getClassObject) {
    dlclose(handle);
    return CO_E_ERRORINDLL;
  }
  out = &(rt.modules[path] = module);
  return S_OK;
}

void FreeUnusedLocked(Runtime& rt) {
  for (auto it = rt.modules.begin(); it != rt.modules.end();) {
    // A module without DllCanUnloadNow cannot say it is unused, so it stays.
    if (it->second.canUnloadNow && it->second.canUnloadNow() == S_OK) {
      dlclose(it->second.handle);
      it = rt.modules.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace

HRESULT CoInitializeEx(void*, DWORD) {
  if (tInitCount++ > 0) return S_FALSE;
  std::lock_guard lock(TheRuntime().lock);
  ++TheRuntime().initialisedThreads;
  return S_OK;
}

HRESULT CoInitialize(void* reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize() {
  if (tInitCount == 0 || --tInitCount > 0) return;
  Runtime& rt = TheRuntime();
  std::lock_guard lock(rt.lock);
  if (--rt.initialisedThreads == 0) FreeUnusedLocked(rt);
}

bool IsThreadInitialised() { return tInitCount > 0; }

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsThreadInitialised()) return CO_E_NOTINITIALIZED;
  if (!(context & CLSCTX_INPROC)) return REGDB_E_CLASSNOTREG;
  std::string key = "CLSID\\" + GuidToString(clsid) + "\\InprocServer32";
  auto path = registry::GetString(registry::Root::ClassesRoot, key, "");
  if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
  Runtime& rt = TheRuntime();
  DllGetClassObjectFn getClassObject;
  {
    std::lock_guard lock(rt.lock);
    LoadedModule* module = nullptr;
    HRESULT hr = LoadModuleLocked(rt, *path, module);
    if (FAILED(hr)) return hr;
    getClassObject = module->getClassObject;
  }
  return getClassObject(clsid, iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsThreadInitialised()) return CO_E_NOTINITIALIZED;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(&factory));
  if (SUCCEEDED(hr)) {
    hr = factory->CreateInstance(outer, iid, object);
    factory->Release();
    return hr;
  }
  if (hr != REGDB_E_CLASSNOTREG) return hr;
  ClassCreator creator = nullptr;
  {
    Runtime& rt = TheRuntime();
    std::lock_guard lock(rt.lock);
    auto it = rt.builtins.find(clsid);
    if (it != rt.builtins.end()) creator = it->second;
  }
  if (!creator) return REGDB_E_CLASSNOTREG;
  if (outer) return CLASS_E_NOAGGREGATION;
  return creator(iid, object);
}

HRESULT CLSIDFromProgID(const std::string& progId, CLSID* clsid) {
  if (!clsid) return E_POINTER;
  auto text = registry::GetString(registry::Root::ClassesRoot, progId + "\\CLSID", "");
  if (!text) return Code(0x800401F3);  // CO_E_CLASSSTRING
  auto guid = ParseGuid(*text);
  if (!guid) return Code(0x800401F3);
  *clsid = *guid;
  return S_OK;
}

void CoFreeUnusedLibraries() {
  Runtime& rt = TheRuntime();
  std::lock_guard lock(rt.lock);
  FreeUnusedLocked(rt);
}

std::vector<std::string> LoadedModules() {
  Runtime& rt = TheRuntime();
  std::lock_guard lock(rt.lock);
  std::vector<std::string> paths;
  for (const auto& [path, module] : rt.modules) paths.push_back(path);
  return paths;
}

ClassCreator RegisterBuiltinClass(REFCLSID clsid, ClassCreator creator) {
  Runtime& rt = TheRuntime();
  std::lock_guard lock(rt.lock);
  ClassCreator previous = nullptr;
  auto it = rt.builtins.find(clsid);
  if (it != rt.builtins.end()) previous = it->second;
  if (creator) rt.builtins[clsid] = creator;
  else rt.builtins.erase(clsid);
  return previous;
}

std::string RegistryProblem() {
  const std::string folder = registry::Folder();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  int code = ec ? ec.value() : 0;
  // A file where the folder belongs: "File exists" would tell nothing.
  if (code == EEXIST && !std::filesystem::is_directory(folder, ec)) code = ENOTDIR;
  if (!code && access(folder.c_str(), R_OK | W_OK | X_OK) != 0) code = errno;
  for (const auto root : {registry::Root::ClassesRoot, registry::Root::CurrentUser}) {
    const std::string hive = registry::HivePath(root);
    if (!code && access(hive.c_str(), F_OK) == 0 && access(hive.c_str(), R_OK | W_OK) != 0) code = errno;
  }
  if (!code) return "";
  return "the registry in " + folder + " cannot be used: " + std::strerror(code);
}

}  // namespace vantrel::com
