// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/hosted_conversion_control.h"

#include <chrono>

#include "platform/com/runtime.h"

namespace vantrel {
namespace {

using namespace com;

// Receives the control's events; only Complete does anything.
class CompleteSink final : public Object<IDispatch> {
 public:
  explicit CompleteSink(AutoResetEvent& complete) : complete_(complete) {}

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kEncorvaEventsIid)
      return Hand<IDispatch>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (result) result->vt = VT_EMPTY;
    if (id == kCompleteDispid) complete_.Set();
    return S_OK;
  }

 private:
  AutoResetEvent& complete_;
};

}  // namespace

void AutoResetEvent::Set() {
  std::lock_guard lock(mutex_);
  set_ = true;
  signal_.notify_one();
}

bool AutoResetEvent::Wait(int timeoutMs) {
  std::unique_lock lock(mutex_);
  if (!signal_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return set_; })) return false;
  set_ = false;
  return true;
}

HostedConversionControl::HostedConversionControl()
    : sink_(ComPtr<IDispatch>::Attach(new CompleteSink(events_[0]))) {}

HostedConversionControl::~HostedConversionControl() {
  if (point_) point_->Unadvise(cookie_);
}

HRESULT HostedConversionControl::Create() {
  if (control_) return S_OK;
  HRESULT hr = CoCreateInstance(kEncorvaControlClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                control_.PutVoid());
  if (FAILED(hr)) return hr;
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  if (SUCCEEDED(control_.As(IID_IConnectionPointContainer, container)) &&
      SUCCEEDED(container->FindConnectionPoint(kEncorvaEventsIid, point.Put())) &&
      SUCCEEDED(point->Advise(sink_.Get(), &cookie_)))
    point_ = std::move(point);
  return S_OK;
}

}  // namespace vantrel
