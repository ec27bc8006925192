// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/console_status.h"

#include <cstdio>

#include "base/message_pump.h"
#include "platform/com/runtime.h"
#include "platform/window/window.h"

namespace vantrel::cli {

void ConsoleAddTitlesView::ShowDecoderNotice(const std::string& path) {
  std::fprintf(stderr, "vantrel-author: no picture of %s could be decoded; its thumbnail stays empty\n",
               path.c_str());
}

ConsoleThread::ConsoleThread() {
  com::CoInitialize();
  window::InstallMessagePump();
}

ConsoleThread::~ConsoleThread() {
  SetMessagePump(nullptr);
  com::CoUninitialize();
}

}  // namespace vantrel::cli
