// SPDX-License-Identifier: GPL-3.0-or-later
#include "encorva_convert/event_sink.h"

#include <vector>

namespace vantrel::encorva_convert {

HRESULT EventSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kEventInterface) return Hand<IDispatch>(this, object);
  return E_NOINTERFACE;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                          UINT*) {
  if (result) result->vt = VT_EMPTY;
  std::vector<VARIANT> natural;
  if (params && params->rgvarg)
    for (UINT i = params->cArgs; i-- > 0;) natural.push_back(params->rgvarg[i]);
  handler_(id, natural.data(), UINT(natural.size()));
  return S_OK;
}

}  // namespace vantrel::encorva_convert
