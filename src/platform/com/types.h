// SPDX-License-Identifier: GPL-3.0-or-later
// The component runtime's basic types and result codes. Values are the platform's own,
// because callers compare and print them (E_FAIL is 0x80004005 everywhere).
#pragma once

#include <cstdint>

namespace vantrel::com {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using SHORT = std::int16_t;
using BYTE = std::uint8_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using LCID = std::uint32_t;
using DISPID = std::int32_t;
using LONGLONG = std::int64_t;
using REFERENCE_TIME = std::int64_t;  // 100 ns units
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
using VARIANT_BOOL = std::int16_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr HRESULT Code(std::uint32_t value) { return static_cast<HRESULT>(value); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = Code(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = Code(0x80004002);
inline constexpr HRESULT E_POINTER = Code(0x80004003);
inline constexpr HRESULT E_ABORT = Code(0x80004004);
inline constexpr HRESULT E_FAIL = Code(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = Code(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = Code(0x80070005);
inline constexpr HRESULT E_HANDLE = Code(0x80070006);
inline constexpr HRESULT E_OUTOFMEMORY = Code(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = Code(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = Code(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = Code(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = Code(0x80040154);
inline constexpr HRESULT CO_E_NOTINITIALIZED = Code(0x800401F0);
inline constexpr HRESULT CO_E_DLLNOTFOUND = Code(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = Code(0x800401F9);
inline constexpr HRESULT CONNECT_E_NOCONNECTION = Code(0x80040200);
inline constexpr HRESULT CONNECT_E_ADVISELIMIT = Code(0x80040201);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = Code(0x80040202);
inline constexpr HRESULT SELFREG_E_CLASS = Code(0x80040201);
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = Code(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = Code(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = Code(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = Code(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = Code(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = Code(0x80020007);
inline constexpr HRESULT DISP_E_BADINDEX = Code(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = Code(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = Code(0x8002000F);
inline constexpr HRESULT RPC_E_CHANGED_MODE = Code(0x80010106);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

}  // namespace vantrel::com
