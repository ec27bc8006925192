// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup_steps.h"

#include "base/app_folder.h"
#include "base/launch.h"
#include "base/paths.h"
#include "base/translation.h"

namespace vantrel::app {
namespace {

std::string RegistrationLine(const std::string& path, const char* switches) {
  return "regsvr32 " + DoubleQuotedShellWord(path) + switches;
}

}  // namespace

std::string SystemFolder() {
#ifdef __x86_64__
  return "/usr/lib/x86_64-linux-gnu";
#else
  return "/usr/lib";
#endif
}

std::string DecoderFilterCommand(bool unregister) {
  return RegistrationLine(SystemFolder() + "/ffdshow.ax", unregister ? " /u /s" : " /s");
}

std::string ShippedModuleName(const std::string& componentName) {
  if (EqualsNoCase(componentName, "mpgfiltr.ax")) return "mpgfiltr.so";
  if (EqualsNoCase(componentName, "Encorva.dll")) return "Encorva.so";
  return componentName;
}

std::vector<std::string> ComponentRegistrationCommands() {
  std::vector<std::string> lines;
  const std::string folder = ApplicationFolder();
  for (const char* component : {"videoedit.ocx", "mpgfiltr.ax", "Encorva.dll", "Pallomer.dll"})
    lines.push_back(RegistrationLine(folder + ShippedModuleName(component), " /s"));
  return lines;
}

std::string SkinFileName(int skin) {
  switch (skin) {
    case 1: return "devior.smf";
    case 2: return "x-plus.smf";
    case 3: return "kromo.smf";
    default: return "";
  }
}

std::string LayoutName(int layout) {
  static const char* const kNames[] = {N_("6 缩略图"), N_("8 缩略图"), N_("12 缩略图")};
  return Tr(kNames[(layout >= 0 && layout <= 2) ? layout : 2]);
}

bool IsAutomationStart(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    std::string flag = arg;
    while (!flag.empty() && (flag[0] == '-' || flag[0] == '/')) flag.erase(0, 1);
    if (EqualsNoCase(flag, "Embedding") || EqualsNoCase(flag, "Automation")) return true;
  }
  return false;
}

}  // namespace vantrel::app
