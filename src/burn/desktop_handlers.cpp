// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/desktop_handlers.h"

#include <cstdio>

#include "authoring/command_templates.h"
#include "base/launch.h"

namespace vantrel {
namespace {

// The desktop file xdg-mime names for a type ("" when none, or no xdg-mime).
std::string DefaultHandler(const std::string& type) {
  const std::string command = "xdg-mime query default " + ShellQuote(type) + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string out;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
  pclose(pipe);
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

}  // namespace

bool CanOpenFolders() { return !DefaultHandler("inode/directory").empty(); }

bool CanPlayVideoTs() { return !DefaultHandler("x-scheme-handler/dvd").empty(); }

std::shared_future<DesktopHandlers> AskDesktopHandlers() {
  return std::async(std::launch::async, [] { return DesktopHandlers{CanOpenFolders(), CanPlayVideoTs()}; }).share();
}

bool OpenInDesktop(const std::string& folder) {
  return CanOpenFolders() && LaunchHidden("xdg-open " + ShellQuote(folder));
}

bool PlayVideoTs(const std::string& videoTsFolder) {
  return CanPlayVideoTs() && LaunchHidden("xdg-open " + ShellQuote("dvd://" + videoTsFolder));
}

}  // namespace vantrel
