// SPDX-License-Identifier: GPL-3.0-or-later
// The command lines and names of start-up and shutdown: the decoder filter that is taken
// out of the system while the program runs, the components registered at every start, the
// skin files and the menu layout names.
#pragma once

#include <string>
#include <vector>
#include "base/translation.h"

namespace vantrel::app {

// Where the platform keeps system-wide filters; the decoder filter is looked for there.
std::string SystemFolder();

// "regsvr32 \"<system folder>/ffdshow.ax\" /u /s" at start-up, without " /u" at exit.
std::string DecoderFilterCommand(bool unregister);

// One hidden registration line per shipped component, in the order they are registered.
// Components that exist on this platform under another file name are registered under it;
// the others keep their name, so their line fails as the missing module it names.
std::vector<std::string> ComponentRegistrationCommands();

// The module file this platform ships for a component name of the other platform.
std::string ShippedModuleName(const std::string& componentName);

// "devior.smf", "x-plus.smf", "kromo.smf" for skins 1 to 3; empty for 0 and others.
std::string SkinFileName(int skin);

// "6 缩略图", "8 缩略图", "12 缩略图"; the last one for an index out of range.
std::string LayoutName(int layout);

inline constexpr const char* kUsage =
    "usage: vantrel [-v] [PROJECT.vantrel] [VIDEO...]\n"
    "       vantrel --version | --help\n"
    "Opens the desktop program on the project, with the videos as titles.\n"
    "  -v, --verbose  the core's notes on standard error as well as its warnings and errors\n";
inline constexpr const char* kOleInitFailed = N_("初始化 OLE 程序库失败。");
inline constexpr const char* kNoDisplay =
    N_("vantrel: 无法打开图形显示 (cannot open a display): DISPLAY or WAYLAND_DISPLAY names no "
    "display this program can reach.\n");

// True when the process was started to serve an object request rather than by a person
// ("-Embedding", "/Automation" and the like): no tip window then.
bool IsAutomationStart(const std::vector<std::string>& args);

}  // namespace vantrel::app
