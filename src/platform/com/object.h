// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for writing objects and modules: reference counting, a module's lock count and a
// class factory. Header-only on purpose: each module compiles its own copy, so every
// module keeps its own count.
#pragma once

#include <atomic>
#include <new>
#include <utility>

#include "platform/com/unknown.h"

namespace vantrel::com {

// Counts live objects and server locks of one module; DllCanUnloadNow answers from it.
class ModuleLockCount {
 public:
  void Lock() { ++count_; }
  void Unlock() { --count_; }
  long Count() const { return count_; }
  HRESULT CanUnloadNow() const { return count_ == 0 ? S_OK : S_FALSE; }

 private:
  std::atomic<long> count_{0};
};

// Reference counting for an object that implements the given interfaces. The derived class
// writes QueryInterface; objects start with one reference, owned by their creator.
template <class... Interfaces>
class Object : public Interfaces... {
 public:
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  virtual ~Object() = default;

 protected:
  std::atomic<ULONG> refs_{1};
};

// Hands out an interface of `self` after adding a reference.
template <class I, class T>
HRESULT Hand(T* self, void** object) {
  I* p = static_cast<I*>(self);
  p->AddRef();
  *object = p;
  return S_OK;
}


// A class factory whose objects are made by `create(iid, object)`.
class ClassFactory : public Object<IClassFactory> {
 public:
  using Create = HRESULT (*)(REFIID, void**);
  ClassFactory(Create create, ModuleLockCount* locks) : create_(create), locks_(locks) {
    if (locks_) locks_->Lock();
  }
  ~ClassFactory() override {
    if (locks_) locks_->Unlock();
  }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) return Hand<IClassFactory>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(iid, object);
  }
  HRESULT LockServer(BOOL lock) override {
    if (!locks_) return S_OK;
    if (lock) locks_->Lock();
    else locks_->Unlock();
    return S_OK;
  }

 private:
  Create create_;
  ModuleLockCount* locks_;
};

// Creates a T (which starts with one reference) and hands out the asked interface.
template <class T, class... Args>
HRESULT CreateAndQuery(REFIID iid, void** object, Args&&... args) {
  if (!object) return E_POINTER;
  *object = nullptr;
  T* instance = new (std::nothrow) T(std::forward<Args>(args)...);
  if (!instance) return E_OUTOFMEMORY;
  HRESULT hr = instance->QueryInterface(iid, object);
  instance->Release();
  return hr;
}

}  // namespace vantrel::com
