// SPDX-License-Identifier: GPL-3.0-or-later
// The base interfaces. Interfaces are abstract classes with no data and no virtual
// destructor, so their vtable slots are exactly the operations in the order declared and a
// module built on its own can be called through them ("operation N" is slot N).
#pragma once

#include <utility>

#include "platform/com/guid.h"
#include "platform/com/types.h"

namespace vantrel::com {

inline constexpr IID IID_IUnknown = MakeGuid("00000000-0000-0000-C000-000000000046");
inline constexpr IID IID_IClassFactory = MakeGuid("00000001-0000-0000-C000-000000000046");
inline constexpr IID IID_IDispatch = MakeGuid("00020400-0000-0000-C000-000000000046");

class IUnknown {
 public:
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;  // 0
  virtual ULONG AddRef() = 0;                                      // 1
  virtual ULONG Release() = 0;                                     // 2
};

class IClassFactory : public IUnknown {
 public:
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;  // 3
  virtual HRESULT LockServer(BOOL lock) = 0;                                        // 4
};

// Holds one reference; no code calls Release by hand.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }  // NOLINT: adds its own reference
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~ComPtr() { Reset(); }
  ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }

  // Takes over a reference the caller already owns (an out parameter's).
  static ComPtr Attach(T* p) { ComPtr c; c.p_ = p; return c; }
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() { if (auto* p = std::exchange(p_, nullptr)) p->Release(); }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held and hands out the slot.
  T** Put() { Reset(); return &p_; }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  template <class U>
  HRESULT As(REFIID iid, ComPtr<U>& out) const {
    if (!p_) return E_POINTER;
    return p_->QueryInterface(iid, out.PutVoid());
  }

 private:
  T* p_ = nullptr;
};

}  // namespace vantrel::com
