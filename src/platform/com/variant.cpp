// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com/variant.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vantrel::com {

void VariantInit(VARIANT* v) {
  v->vt = VT_EMPTY;
  v->llVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
  if (!v) return E_POINTER;
  switch (v->vt) {
    case VT_BSTR: SysFreeString(v->bstrVal); break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (v->punkVal) v->punkVal->Release();
      break;
    default: break;
  }
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* destination, const VARIANT* source) {
  if (!destination || !source) return E_POINTER;
  if (destination == source) return S_OK;
  VariantClear(destination);
  *destination = *source;
  if (source->vt == VT_BSTR && source->bstrVal) {
    destination->bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
    if (!destination->bstrVal) return E_OUTOFMEMORY;
  } else if ((source->vt == VT_UNKNOWN || source->vt == VT_DISPATCH) && source->punkVal) {
    source->punkVal->AddRef();
  }
  return S_OK;
}

namespace {

// The value of a variant read through one level of reference.
VARIANT Dereferenced(const VARIANT& v) {
  if (!(v.vt & VT_BYREF)) return v;
  VARIANT out;
  out.vt = VARTYPE(v.vt & ~VT_BYREF);
  switch (out.vt) {
    case VT_I2: out.iVal = *v.piVal; break;
    case VT_I4: out.lVal = *v.plVal; break;
    case VT_R4: out.fltVal = *v.pfltVal; break;
    case VT_R8: out.dblVal = *v.pdblVal; break;
    case VT_BOOL: out.boolVal = *v.pboolVal; break;
    case VT_BSTR: out.bstrVal = *v.pbstrVal; break;
    case VT_VARIANT: return Dereferenced(*v.pvarVal);
    default: out.vt = VT_ERROR; break;
  }
  return out;
}

bool AsDouble(const VARIANT& v, double& out) {
  switch (v.vt) {
    case VT_EMPTY: out = 0; return true;
    case VT_I2: out = v.iVal; return true;
    case VT_I4: case VT_INT: out = v.lVal; return true;
    case VT_UI1: out = v.bVal; return true;
    case VT_I8: out = double(v.llVal); return true;
    case VT_R4: out = v.fltVal; return true;
    case VT_R8: out = v.dblVal; return true;
    case VT_BOOL: out = v.boolVal ? -1 : 0; return true;
    case VT_BSTR: {
      std::string text = Utf8FromBstr(v.bstrVal);
      char* end = nullptr;
      out = std::strtod(text.c_str(), &end);
      return !text.empty() && end && *end == 0;
    }
    default: return false;
  }
}

}  // namespace

HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, WORD, VARTYPE type) {
  if (!destination || !source) return E_POINTER;
  VARIANT value = Dereferenced(*source);
  VARIANT out;
  if (type == VT_BSTR) {
    std::string text;
    if (value.vt == VT_BSTR) {
      out.vt = VT_BSTR;
      out.bstrVal = SysAllocStringLen(value.bstrVal, SysStringLen(value.bstrVal));
      VariantClear(destination);
      *destination = out;
      return S_OK;
    }
    double d;
    if (value.vt == VT_BOOL) text = value.boolVal ? "True" : "False";
    else if (!AsDouble(value, d)) return DISP_E_TYPEMISMATCH;
    else if (value.vt == VT_R4 || value.vt == VT_R8) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.15g", d);
      text = buf;
    } else text = std::to_string(LONGLONG(d));
    out.vt = VT_BSTR;
    out.bstrVal = BstrFromUtf8(text);
  } else {
    double d;
    if (!AsDouble(value, d)) return DISP_E_TYPEMISMATCH;
    out.vt = type;
    switch (type) {
      case VT_I2: out.iVal = SHORT(std::lround(d)); break;
      case VT_I4: case VT_INT: out.lVal = LONG(std::lround(d)); break;
      case VT_UI1: out.bVal = BYTE(std::lround(d)); break;
      case VT_I8: out.llVal = std::llround(d); break;
      case VT_R4: out.fltVal = float(d); break;
      case VT_R8: out.dblVal = d; break;
      case VT_BOOL: out.boolVal = d != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
      default: return DISP_E_TYPEMISMATCH;
    }
  }
  VariantClear(destination);
  *destination = out;
  return S_OK;
}

HRESULT InvokeMethod(IDispatch* target, DISPID id, std::initializer_list<VARIANT> args,
                     VARIANT* result) {
  if (!target) return E_POINTER;
  std::vector<VARIANT> reversed(args.begin(), args.end());
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS params;
  params.rgvarg = reversed.data();
  params.cArgs = UINT(reversed.size());
  return target->Invoke(id, GUID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

VARIANT MakeVariant(LONG value) { VARIANT v; v.vt = VT_I4; v.lVal = value; return v; }
VARIANT MakeVariant(double value) { VARIANT v; v.vt = VT_R8; v.dblVal = value; return v; }
VARIANT MakeBoolVariant(bool value) {
  VARIANT v; v.vt = VT_BOOL; v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; return v;
}
VARIANT MakeVariant(const std::string& utf8) {
  VARIANT v; v.vt = VT_BSTR; v.bstrVal = BstrFromUtf8(utf8); return v;
}

}  // namespace vantrel::com
