// SPDX-License-Identifier: GPL-3.0-or-later
// The library's own writing and erasing windows. A GUI installs a window host; without one
// the windows are lines of the program's log.
#include <condition_variable>
#include <mutex>

#include "base/log.h"
#include "platform/foxburner/library.h"

namespace vantrel::foxburner {
namespace {

// Without a host the windows become lines of the program's log: the title when one opens,
// how it ended when it closes. Progress is for a window to draw; the log keeps none of it.
void ConsoleOpen(const char* title, void*) { LogInfo(title); }

void ConsoleProgress(float, void*) {}

void ConsoleClose(const char* error, void*) {
  if (*error)
    LogError(error);
  else
    LogInfo("OK");
}

struct Window {
  FoxBurnerWindowHost host;
  std::mutex mutex;
  std::condition_variable doneSignal;
  bool done = false;
  int code = FB_OK;
  std::string text;

  static void OnProgress(float percent, void* self) {
    auto* w = static_cast<Window*>(self);
    w->host.Progress(percent, w->host.user);
  }
  static void OnDone(int code, const std::string& text, void* self) {
    auto* w = static_cast<Window*>(self);
    std::lock_guard lock(w->mutex);
    w->code = code;
    w->text = text;
    w->done = true;
    w->doneSignal.notify_all();
  }
};

// Shows the window while `start` runs the operation on the worker; returns its result.
int RunWindow(Library& library, const char* title, const std::function<int()>& start) {
  Window window;
  window.host = library.WindowHost();
  if (!window.host.Open) window.host = {ConsoleOpen, ConsoleProgress, ConsoleClose, nullptr};
  window.host.Open(title ? title : "", window.host.user);
  library.SetListener({Window::OnProgress, Window::OnDone, &window});
  int rc = library.Call(start);
  if (rc == FB_OK) {
    std::unique_lock lock(window.mutex);
    window.doneSignal.wait(lock, [&] { return window.done; });
    rc = window.code;
  } else {
    window.text = library.TextOf(rc);
  }
  library.SetListener({});
  window.host.Close(window.text.c_str(), window.host.user);
  return rc;
}

}  // namespace

int RunBurnWindow(const char* title) {
  Library& library = Library::Instance();
  return RunWindow(library, title, [&library] { return library.StartBurn(); });
}

int RunEraseWindow(const char* title) {
  Library& library = Library::Instance();
  return RunWindow(library, title, [&library] { return library.StartErase(true); });
}

}  // namespace vantrel::foxburner
