// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/log.h"
#include "platform/window/message_box.h"

#include <cstdio>
#include <mutex>

namespace vantrel::window {
namespace {
std::mutex gLock;
MessageBoxHandler gHandler;
}  // namespace

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  MessageBoxHandler handler;
  {
    std::lock_guard lock(gLock);
    handler = gHandler;
  }
  if (handler) return handler(owner, text, caption, style);
  // Without a window to show it in, the box is a warning for whoever reads the log.
  LogWarning(caption + ": " + text);
  return IDOK;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(gLock);
  std::swap(gHandler, handler);
  return handler;
}

}  // namespace vantrel::window
