// SPDX-License-Identifier: GPL-3.0-or-later
// VARIANT and the automation interface IDispatch.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

namespace vantrel::com {

using VARTYPE = std::uint16_t;
enum : VARTYPE {
  VT_EMPTY = 0, VT_NULL = 1, VT_I2 = 2, VT_I4 = 3, VT_R4 = 4, VT_R8 = 5, VT_BSTR = 8,
  VT_DISPATCH = 9, VT_ERROR = 10, VT_BOOL = 11, VT_VARIANT = 12, VT_UNKNOWN = 13,
  VT_UI1 = 17, VT_UI4 = 19, VT_I8 = 20, VT_INT = 22, VT_UINT = 23, VT_BYREF = 0x4000,
};

class IDispatch;

struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  WORD reserved1 = 0, reserved2 = 0, reserved3 = 0;
  union {
    LONGLONG llVal;
    LONG lVal;
    SHORT iVal;
    BYTE bVal;
    float fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    HRESULT scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    LONG* plVal;
    SHORT* piVal;
    float* pfltVal;
    double* pdblVal;
    VARIANT_BOOL* pboolVal;
    BSTR* pbstrVal;
    VARIANT* pvarVal;
    void* byref;
  };
  VARIANT() : llVal(0) {}
};

void VariantInit(VARIANT* v);
// Frees what the variant owns (a BSTR, an interface reference) and empties it.
HRESULT VariantClear(VARIANT* v);
HRESULT VariantCopy(VARIANT* destination, const VARIANT* source);
// Coerces among the scalar types, BSTR and bool (by reference sources are read through);
// DISP_E_TYPEMISMATCH when there is no sensible conversion.
HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, WORD flags, VARTYPE type);

struct DISPPARAMS {
  VARIANT* rgvarg = nullptr;  // arguments in reverse order
  DISPID* rgdispidNamedArgs = nullptr;
  UINT cArgs = 0;
  UINT cNamedArgs = 0;
};

struct EXCEPINFO {
  WORD wCode = 0;
  WORD wReserved = 0;
  BSTR bstrSource = nullptr;
  BSTR bstrDescription = nullptr;
  BSTR bstrHelpFile = nullptr;
  DWORD dwHelpContext = 0;
  void* pvReserved = nullptr;
  void* pfnDeferredFillIn = nullptr;
  HRESULT scode = 0;
};

inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 8;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;
inline constexpr DISPID DISPID_UNKNOWN = -1;

class ITypeInfo;  // described with the type information of the conversion component

class IDispatch : public IUnknown {
 public:
  virtual HRESULT GetTypeInfoCount(UINT* count) = 0;                               // 3
  virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;         // 4
  virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                DISPID* ids) = 0;                                   // 5
  virtual HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* exception, UINT* argError) = 0;  // 6
};

// Calls a method by dispatch id with arguments given in natural order (they are reversed
// for the call as automation requires).
HRESULT InvokeMethod(IDispatch* target, DISPID id, std::initializer_list<VARIANT> args,
                     VARIANT* result);

VARIANT MakeVariant(LONG value);
VARIANT MakeVariant(double value);
VARIANT MakeBoolVariant(bool value);
// The variant owns the new BSTR; VariantClear frees it.
VARIANT MakeVariant(const std::string& utf8);

}  // namespace vantrel::com
