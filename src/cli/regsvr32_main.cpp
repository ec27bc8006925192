// SPDX-License-Identifier: GPL-3.0-or-later
// regsvr32 MODULE [/s] [/u]: loads an in-process module and calls its DllRegisterServer
// (or with /u its DllUnregisterServer). Prints what happened unless /s; the exit status
// names the step that failed: 0 done, 2 bad usage (as every program of the application
// folder), 3 cannot load, 4 export missing, 5 the export failed.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/log.h"
#include "platform/com/runtime.h"

namespace {
constexpr const char* kUsage = "usage: regsvr32 MODULE [/s] [/u]   (/s silent, /u unregister)";
}  // namespace

int main(int argc, char** argv) {
  // What the modules report goes to standard error: warnings and errors.
  vantrel::SetLogSink([](vantrel::LogLevel level, const std::string& text) {
    if (level >= vantrel::LogLevel::kWarning) std::fprintf(stderr, "%s\n", text.c_str());
  });
  using namespace vantrel::com;
  bool silent = false, unregister = false;
  std::string module, stray;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "/s" || arg == "/S" || arg == "-s") silent = true;
    else if (arg == "/u" || arg == "/U" || arg == "-u") unregister = true;
    else if (arg == "--help" || arg == "-h" || arg == "/?") {
      std::printf("%s\n", kUsage);
      return 0;
    } else if (module.empty() && !arg.empty() && arg[0] != '-') module = arg;
    else if (stray.empty()) stray = arg;
  }
  auto say = [&](const std::string& text) {
    if (!silent) std::printf("%s\n", text.c_str());
  };
  // One module per call; a path with blanks is one quoted argument.
  if (module.empty() || !stray.empty()) {
    std::fprintf(stderr, "regsvr32: %s\n%s\n",
                 module.empty() ? (stray.empty() ? "no module named" : ("unknown switch " + stray).c_str())
                                : ("one module at a time, and only /s and /u besides it; not " + stray).c_str(),
                 kUsage);
    return 2;
  }
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    say("regsvr32: could not load " + module + ": " + (why ? why : "unknown error"));
    return 3;
  }
  const char* exportName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto entry = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, exportName));
  if (!entry) {
    say(std::string("regsvr32: ") + module + " has no " + exportName);
    dlclose(handle);
    return 4;
  }
  CoInitialize();
  HRESULT hr = entry();
  CoUninitialize();
  dlclose(handle);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
    const std::string registry = RegistryProblem();
    say(std::string("regsvr32: ") + exportName + " in " + module + " failed with " + code +
        (registry.empty() ? "" : " (" + registry + ")"));
    return 5;
  }
  say(std::string(exportName) + " in " + module + " succeeded.");
  return 0;
}
