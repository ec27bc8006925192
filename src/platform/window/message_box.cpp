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
  std::printf("%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stdout);
  return IDOK;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(gLock);
  std::swap(gHandler, handler);
  return handler;
}

}  // namespace vantrel::window
