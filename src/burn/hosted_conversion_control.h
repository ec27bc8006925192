// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion component's control as the burn dialog hosts it (item 1114): created by
// its class id when the dialog opens, with only its Complete event connected, which
// signals the first of the dialog's two auto-reset events. Nothing starts a conversion
// through it and nothing waits on the events; title repair has its own client.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/com/connection_point.h"
#include "platform/com/object.h"
#include "platform/com/variant.h"

namespace vantrel {

inline constexpr com::CLSID kEncorvaControlClsid =
    com::MakeGuid("D81ADC49-B724-468C-89FC-D39AEB8A9956");
inline constexpr com::IID kEncorvaEventsIid = com::MakeGuid("805AC357-5C93-4CE3-BB24-3BF6CFA2D661");
inline constexpr com::DISPID kCompleteDispid = 2;

// An event that lets one waiter through per signal and then resets itself.
class AutoResetEvent {
 public:
  void Set();
  // True when the event was signalled within `timeoutMs`; the signal is then used up.
  bool Wait(int timeoutMs);

 private:
  std::mutex mutex_;
  std::condition_variable signal_;
  bool set_ = false;
};

class HostedConversionControl {
 public:
  HostedConversionControl();
  ~HostedConversionControl();
  HostedConversionControl(const HostedConversionControl&) = delete;
  HostedConversionControl& operator=(const HostedConversionControl&) = delete;

  // Creates the control and connects the Complete event; the result of the creation (the
  // dialog opens without the control when the component is not registered).
  com::HRESULT Create();
  bool Created() const { return bool(control_); }
  // True when the Complete event is connected.
  bool Connected() const { return bool(point_); }
  // The published control pointer (nothing reads it).
  com::IUnknown* Control() const { return control_.Get(); }
  // The sink the control calls.
  com::IDispatch* Sink() const { return sink_.Get(); }

  AutoResetEvent& CompleteEvent() { return events_[0]; }
  AutoResetEvent& SecondEvent() { return events_[1]; }

 private:
  AutoResetEvent events_[2];
  com::ComPtr<com::IUnknown> control_;
  com::ComPtr<com::IDispatch> sink_;
  com::ComPtr<com::IConnectionPoint> point_;  // where the sink is advised
  com::DWORD cookie_ = 0;
};

}  // namespace vantrel
