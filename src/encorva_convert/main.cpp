// SPDX-License-Identifier: GPL-3.0-or-later
// encorva-convert: converts a video with the conversion component, as any client of it
// would: the component is created by its ProgID and driven through IDispatch by member
// names; its events arrive at a sink of our own while this thread pumps messages.
//
//   encorva-convert SOURCE OUTPUT [--format N] [--start S] [--stop S]
//   encorva-convert --info SOURCE
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/log.h"
#include "encorva_convert/arguments.h"
#include "encorva_convert/event_sink.h"
#include "platform/com/bstr.h"
#include "platform/com/connection_point.h"
#include "platform/com/registration.h"
#include "platform/com/runtime.h"
#include "platform/window/window.h"

using namespace vantrel::com;
using vantrel::encorva_convert::EventSink;
namespace ec = vantrel::encorva_convert;

namespace {

volatile std::sig_atomic_t gInterrupted = 0;  // the signal that came
// Set while the component connects to a network source: that call cannot be stopped from
// here, and nothing has been written yet, so a signal then ends the process at once.
volatile std::sig_atomic_t gConnecting = 0;

constexpr char kCancelled[] = "encorva-convert: cancelled\n";

void OnInterrupt(int signal) {
  gInterrupted = signal;
  if (gConnecting) {
    (void)!write(STDERR_FILENO, kCancelled, sizeof kCancelled - 1);
    _exit(128 + signal);
  }
}

int Usage(FILE* to = stderr) {
  std::fprintf(to,
               "usage: encorva-convert SOURCE OUTPUT [--format N] [--start SECONDS] [--stop SECONDS]\n"
               "       encorva-convert --info SOURCE\n"
               "formats: 0 MPEG-1, 1 VCD NTSC, 2 VCD PAL, 3 MPEG-2, 4 SVCD NTSC, 5 SVCD PAL,\n"
               "         6 DVD NTSC, 7 DVD PAL (the default)\n"
               "SOURCE may be an http, rtsp or mms address; Ctrl+C cancels (exit 130, 143 for SIGTERM)\n");
  return to == stderr ? 2 : 0;
}

std::string HereFolder() {
  return std::filesystem::path(ModulePathOf(reinterpret_cast<const void*>(&Usage))).parent_path().string();
}

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The modules beside this program are registered silently, as the main program does when it
// starts, so the component and its encoder are found wherever the folder was put.
void RegisterModules() {
  const std::string here = HereFolder();
  for (const char* module : {"mpgfiltr.so", "Encorva.so"}) {
    std::string command = Quoted(here + "/regsvr32") + " " + Quoted(here + "/" + module) + " /s >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
      const std::string registry = RegistryProblem();
      std::fprintf(stderr, "encorva-convert: could not register %s%s\n", module,
                   registry.empty() ? "" : (": " + registry).c_str());
    }
  }
}

class Component {
 public:
  explicit Component(IDispatch* object) : object_(object) {}

  DISPID Id(const char* name) {
    std::u16string wide = U16FromBstr(Bstr(name).Get());
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(object_->GetIDsOfNames(GUID_NULL, names, 1, 0, &id)))
      std::fprintf(stderr, "encorva-convert: the component has no member %s\n", name);
    return id;
  }
  HRESULT Put(const char* name, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    HRESULT hr = object_->Invoke(Id(name), GUID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    VariantClear(&value);
    return hr;
  }
  double GetDouble(const char* name) {
    VARIANT result;
    DISPPARAMS none;
    if (FAILED(object_->Invoke(Id(name), GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr)))
      return 0;
    VARIANT asDouble;
    double value = SUCCEEDED(VariantChangeType(&asDouble, &result, 0, VT_R8)) ? asDouble.dblVal : 0;
    VariantClear(&result);
    return value;
  }
  // Arguments in natural order; they are passed reversed, as automation wants.
  HRESULT Call(const char* name, std::vector<VARIANT> args, VARIANT* result) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, UINT(reversed.size()), 0};
    return object_->Invoke(Id(name), GUID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
  }

 private:
  IDispatch* object_;
};

template <class T>
VARIANT ByRef(VARTYPE type, T* target) {
  VARIANT v;
  v.vt = VARTYPE(VT_BYREF | type);
  v.byref = target;
  return v;
}

int PrintInfo(Component& component, const std::string& source) {
  double framerate = 0, duration = 0;
  VARIANT_BOOL video = VARIANT_FALSE, audio = VARIANT_FALSE;
  LONG width = 0, height = 0, bitrate = 0;
  BSTR poster = nullptr;
  VARIANT name = MakeVariant(source);
  HRESULT hr = component.Call("GetFileInfo",
                              {name, ByRef(VT_R8, &framerate), ByRef(VT_R8, &duration), ByRef(VT_BOOL, &video),
                               ByRef(VT_BOOL, &audio), ByRef(VT_I4, &width), ByRef(VT_I4, &height),
                               ByRef(VT_I4, &bitrate), ByRef(VT_BSTR, &poster)},
                              nullptr);
  VariantClear(&name);
  if (FAILED(hr)) {
    std::fprintf(stderr, "encorva-convert: GetFileInfo failed (0x%08x)\n", unsigned(hr));
    return 1;
  }
  std::printf("file:       %s\n", source.c_str());
  std::printf("video:      %s\n", video == VARIANT_TRUE ? "yes" : "no");
  std::printf("audio:      %s\n", audio == VARIANT_TRUE ? "yes" : "no");
  std::printf("duration:   %.3f s\n", duration);
  std::printf("frame rate: %.3f\n", framerate);
  std::printf("size:       %d x %d\n", int(width), int(height));
  std::printf("bit rate:   %d bit/s\n", int(bitrate));
  std::printf("poster:     %s\n", poster ? Utf8FromBstr(poster).c_str() : "");
  SysFreeString(poster);
  // Nothing readable: the component answers zeros; say so in the exit code.
  return video == VARIANT_TRUE || audio == VARIANT_TRUE ? 0 : 1;
}

void ShowProgress(double position, double duration) {
  if (duration <= 0) return;
  const int width = 40;
  double share = std::min(1.0, std::max(0.0, position / duration));
  int filled = int(share * width);
  std::fprintf(stderr, "\r[%s%s] %5.1f%% %7.1f / %.1f s", std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), share * 100, position, duration);
  std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
  // What the modules report goes to standard error: warnings and errors.
  vantrel::SetLogSink([](vantrel::LogLevel level, const std::string& text) {
    if (level >= vantrel::LogLevel::kWarning) std::fprintf(stderr, "%s\n", text.c_str());
  });
  ec::Arguments arguments;
  std::string error;
  if (!ec::ParseArguments(argc, argv, arguments, error)) {
    std::fprintf(stderr, "encorva-convert: %s (--help shows the usage)\n", error.c_str());
    return 2;
  }
  if (arguments.help) return Usage(stdout);
  const std::vector<std::string>& names = arguments.names;
  const bool info = arguments.info;
  const long format = arguments.format;
  const double start = arguments.start, stop = arguments.stop;

  ScopedCoInitialize com;
  RegisterModules();
  CLSID clsid;
  ComPtr<IDispatch> object;
  if (FAILED(CLSIDFromProgID("Encorva.EncorvaObj", &clsid)) ||
      FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.PutVoid()))) {
    const std::string registry = RegistryProblem();
    std::fprintf(stderr, "encorva-convert: the conversion component is not installed%s\n",
                 registry.empty() ? "" : (": " + registry).c_str());
    return 1;
  }
  Component component(object.Get());
  if (info) return PrintInfo(component, names[0]);

  bool complete = false, failed = false;
  const bool terminal = isatty(STDERR_FILENO);
  auto sink = ComPtr<EventSink>::Attach(new EventSink([&](DISPID id, const VARIANT* args, UINT count) {
    if (terminal) std::fputs("\r\033[K", stderr);
    switch (id) {
      case ec::kAboutToRun:
        std::printf("AboutToRun\n");
        break;
      case ec::kComplete:
        std::printf("Complete\n");
        complete = true;
        break;
      case ec::kStatusChanged:
        // 8: connecting to a network source; any later status means it answered.
        gConnecting = count > 0 && args[0].lVal == 8 ? 1 : 0;
        std::printf("StatusChanged %d %s\n", count > 0 ? int(args[0].lVal) : -1,
                    count > 1 ? Utf8FromBstr(args[1].bstrVal).c_str() : "");
        break;
      case ec::kError:
        gConnecting = 0;
        std::printf("Error 0x%08x %s\n", count > 0 ? unsigned(args[0].lVal) : 0u,
                    count > 1 ? Utf8FromBstr(args[1].bstrVal).c_str() : "");
        failed = true;
        break;
      default:
        break;
    }
    std::fflush(stdout);
  }));
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  if (FAILED(object.As(IID_IConnectionPointContainer, container)) ||
      FAILED(container->FindConnectionPoint(ec::kEventInterface, point.Put())) ||
      FAILED(point->Advise(sink.Get(), &cookie))) {
    std::fprintf(stderr, "encorva-convert: the component offers no events\n");
    return 1;
  }

  // The format first: it chooses the encoder's settings that the other properties change.
  component.Put("OutputVideoFormat", MakeVariant(LONG(format)));
  component.Put("SourceFile", MakeVariant(names[0]));
  component.Put("OutputFile", MakeVariant(names[1]));
  component.Put("StartTime", MakeVariant(start));
  component.Put("StopTime", MakeVariant(stop));

  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  VARIANT result;
  component.Call("StartConversion", {}, &result);
  gConnecting = 0;
  const bool started = result.vt == VT_BOOL && result.boolVal == VARIANT_TRUE;
  if (!started && !failed) std::printf("StartConversion returned false\n");
  bool stopRequested = false;
  while (started && !complete) {
    vantrel::window::WaitMessage(250);
    vantrel::window::PumpPendingMessages();
    if (gInterrupted && !stopRequested) {
      stopRequested = true;
      component.Call("StopConversion", {}, nullptr);
      continue;
    }
    if (terminal && !complete) ShowProgress(component.GetDouble("Progress"), component.GetDouble("Duration"));
  }
  point->Unadvise(cookie);
  if (stopRequested || (gInterrupted && !complete)) {
    // Stopping the run removed the encoder's unfinished output.
    if (!stopRequested && started && !complete) component.Call("StopConversion", {}, nullptr);
    std::fputs(kCancelled, stderr);
    return 128 + int(gInterrupted);
  }
  return started && complete && !failed ? 0 : 1;
}
