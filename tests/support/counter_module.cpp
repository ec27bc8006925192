// SPDX-License-Identifier: GPL-3.0-or-later
// The counter module: exports, class factory, self-registration and one connection point,
// written the way a real in-process module of the program is.
#include "support/counter_module.h"

#include "platform/com/bstr.h"
#include "platform/com/connection_point.h"
#include "platform/com/object.h"
#include "platform/com/registration.h"

using namespace vantrel::com;
using namespace vantrel::test;

namespace {

ModuleLockCount gLocks;

class Counter : public Object<ICounter, IConnectionPointContainer> {
 public:
  Counter() : events_(new ConnectionPoint(IID_ICounterEvents, this)) { gLocks.Lock(); }
  ~Counter() override {
    events_->Release();
    gLocks.Unlock();
  }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICounter) return Hand<ICounter>(this, object);
    if (iid == IID_IConnectionPointContainer) return Hand<IConnectionPointContainer>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT Add(LONG amount) override {
    total_ += amount;
    for (auto& sink : events_->Sinks<ICounterEvents>()) sink->Changed(total_);
    return S_OK;
  }
  HRESULT Total(LONG* total) override {
    if (!total) return E_POINTER;
    *total = total_;
    return S_OK;
  }
  HRESULT Name(BSTR* name) override {
    if (!name) return E_POINTER;
    *name = BstrFromUtf8("计数器 counter");
    return S_OK;
  }
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override {
    return CreateConnectionPointEnumerator({events_}, points);
  }
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != IID_ICounterEvents) return CONNECT_E_NOCONNECTION;
    events_->AddRef();
    *point = events_;
    return S_OK;
  }

 private:
  LONG total_ = 0;
  ConnectionPoint* events_;
};

HRESULT CreateCounter(REFIID iid, void** object) { return CreateAndQuery<Counter>(iid, object); }

}  // namespace

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                                  void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_Counter) return CLASS_E_CLASSNOTAVAILABLE;
  return CreateAndQuery<ClassFactory>(iid, object, &CreateCounter, &gLocks);
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow() { return gLocks.CanUnloadNow(); }

__attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  return RegisterInprocServer(CLSID_Counter, "Vantrel test counter",
                              ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer)),
                              kCounterProgId);
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  return UnregisterInprocServer(CLSID_Counter, kCounterProgId);
}

}  // extern "C"
