// SPDX-License-Identifier: GPL-3.0-or-later
// The client's sink for the component's events: every call arrives through IDispatch::Invoke
// with the event's dispatch id and its arguments in reverse order.
#pragma once

#include <functional>

#include "platform/com/object.h"
#include "platform/com/variant.h"

namespace vantrel::encorva_convert {

using namespace com;

// The event interface and its dispatch ids, as the component's type library fixes them.
inline constexpr IID kEventInterface = MakeGuid("805AC357-5C93-4CE3-BB24-3BF6CFA2D661");
inline constexpr DISPID kAboutToRun = 1, kComplete = 2, kStatusChanged = 3, kError = 4;

class EventSink final : public Object<IDispatch> {
 public:
  // `args` in natural order.
  using Handler = std::function<void(DISPID id, const VARIANT* args, UINT count)>;
  explicit EventSink(Handler handler) : handler_(std::move(handler)) {}

  HRESULT QueryInterface(REFIID iid, void** object) override;
  HRESULT GetTypeInfoCount(UINT* count) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO*, UINT*) override;

 private:
  Handler handler_;
};

}  // namespace vantrel::encorva_convert
