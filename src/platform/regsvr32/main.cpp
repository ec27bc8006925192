// regsvr32 MODULE [/s] [/u]: loads an in-process module and calls its DllRegisterServer
// (or with /u its DllUnregisterServer). Prints what happened unless /s; the exit status
// names the step that failed: 0 done, 1 bad usage, 2 cannot load, 3 export missing,
// 4 the export failed.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/log.h"
#include "platform/com/runtime.h"

int main(int argc, char** argv) {
  // What the modules report goes to standard error: warnings and errors.
  vantrel::SetLogSink([](vantrel::LogLevel level, const std::string& text) {
    if (level >= vantrel::LogLevel::kWarning) std::fprintf(stderr, "%s\n", text.c_str());
  });
  using namespace vantrel::com;
  bool silent = false, unregister = false;
  std::string module;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "/s" || arg == "/S" || arg == "-s") silent = true;
    else if (arg == "/u" || arg == "/U" || arg == "-u") unregister = true;
    else if (module.empty()) module = arg;
    else module += " " + arg;  // an unquoted path with blanks
  }
  auto say = [&](const std::string& text) {
    if (!silent) std::printf("%s\n", text.c_str());
  };
  if (module.empty()) {
    say("usage: regsvr32 MODULE [/s] [/u]");
    return 1;
  }
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    say("regsvr32: could not load " + module + ": " + (why ? why : "unknown error"));
    return 2;
  }
  const char* exportName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto entry = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, exportName));
  if (!entry) {
    say(std::string("regsvr32: ") + module + " has no " + exportName);
    dlclose(handle);
    return 3;
  }
  CoInitialize();
  HRESULT hr = entry();
  CoUninitialize();
  dlclose(handle);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
    say(std::string("regsvr32: ") + exportName + " in " + module + " failed with " + code);
    return 4;
  }
  say(std::string(exportName) + " in " + module + " succeeded.");
  return 0;
}
