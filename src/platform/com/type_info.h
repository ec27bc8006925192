// SPDX-License-Identifier: GPL-3.0-or-later
// Type information as automation clients read it: ITypeInfo and the records it hands out.
// Records come from GetTypeAttr and GetFuncDesc and go back through the Release* calls of
// the same object, which owns their memory.
#pragma once

#include "platform/com/variant.h"

namespace vantrel::com {

inline constexpr IID IID_ITypeInfo = MakeGuid("00020401-0000-0000-C000-000000000046");

inline constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = Code(0x8002802B);

using MEMBERID = DISPID;
using HREFTYPE = DWORD;
using SCODE = LONG;
inline constexpr MEMBERID MEMBERID_NIL = -1;

inline constexpr VARTYPE VT_VOID = 24;
inline constexpr VARTYPE VT_HRESULT = 25;
inline constexpr VARTYPE VT_PTR = 26;
inline constexpr VARTYPE VT_USERDEFINED = 29;

enum TYPEKIND : int {
  TKIND_ENUM = 0, TKIND_RECORD, TKIND_MODULE, TKIND_INTERFACE, TKIND_DISPATCH, TKIND_COCLASS,
  TKIND_ALIAS, TKIND_UNION,
};
enum INVOKEKIND : int {
  INVOKE_FUNC = 1, INVOKE_PROPERTYGET = 2, INVOKE_PROPERTYPUT = 4, INVOKE_PROPERTYPUTREF = 8,
};
enum FUNCKIND : int {
  FUNC_VIRTUAL = 0, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH,
};
enum CALLCONV : int { CC_FASTCALL = 0, CC_CDECL = 1, CC_STDCALL = 4 };

enum : WORD {
  TYPEFLAG_FAPPOBJECT = 0x1, TYPEFLAG_FCANCREATE = 0x2, TYPEFLAG_FHIDDEN = 0x10,
  TYPEFLAG_FCONTROL = 0x20, TYPEFLAG_FDUAL = 0x40, TYPEFLAG_FOLEAUTOMATION = 0x100,
  TYPEFLAG_FDISPATCHABLE = 0x1000,
};
enum : WORD {
  PARAMFLAG_NONE = 0, PARAMFLAG_FIN = 0x1, PARAMFLAG_FOUT = 0x2, PARAMFLAG_FLCID = 0x4,
  PARAMFLAG_FRETVAL = 0x8, PARAMFLAG_FOPT = 0x10,
};
enum : int { IMPLTYPEFLAG_FDEFAULT = 0x1, IMPLTYPEFLAG_FSOURCE = 0x2 };

struct TYPEDESC {
  union {
    TYPEDESC* lptdesc;  // what a VT_PTR points to
    HREFTYPE hreftype;  // the type a VT_USERDEFINED names
  };
  VARTYPE vt = VT_EMPTY;
  TYPEDESC() : lptdesc(nullptr) {}
};

struct IDLDESC {
  std::uintptr_t dwReserved = 0;
  WORD wIDLFlags = 0;
};

struct PARAMDESCEX;
struct PARAMDESC {
  PARAMDESCEX* pparamdescex = nullptr;  // default values: none are offered
  WORD wParamFlags = 0;
};

struct ELEMDESC {
  TYPEDESC tdesc;
  union {
    IDLDESC idldesc;
    PARAMDESC paramdesc;
  };
  ELEMDESC() : paramdesc() {}
};

struct FUNCDESC {
  MEMBERID memid = 0;
  SCODE* lprgscode = nullptr;
  ELEMDESC* lprgelemdescParam = nullptr;
  FUNCKIND funckind = FUNC_DISPATCH;
  INVOKEKIND invkind = INVOKE_FUNC;
  CALLCONV callconv = CC_STDCALL;
  SHORT cParams = 0;
  SHORT cParamsOpt = 0;
  SHORT oVft = 0;
  SHORT cScodes = 0;
  ELEMDESC elemdescFunc;
  WORD wFuncFlags = 0;
};

struct TYPEATTR {
  GUID guid;
  LCID lcid = 0;
  DWORD dwReserved = 0;
  MEMBERID memidConstructor = MEMBERID_NIL;
  MEMBERID memidDestructor = MEMBERID_NIL;
  LPOLESTR lpstrSchema = nullptr;
  ULONG cbSizeInstance = 0;
  TYPEKIND typekind = TKIND_DISPATCH;
  WORD cFuncs = 0;
  WORD cVars = 0;
  WORD cImplTypes = 0;
  WORD cbSizeVft = 0;
  WORD cbAlignment = 0;
  WORD wTypeFlags = 0;
  WORD wMajorVerNum = 0;
  WORD wMinorVerNum = 0;
  TYPEDESC tdescAlias;
  IDLDESC idldescType;
};

struct VARDESC;  // no type of ours has variables
class ITypeComp;
class ITypeLib;

class ITypeInfo : public IUnknown {
 public:
  virtual HRESULT GetTypeAttr(TYPEATTR** attr) = 0;                                   // 3
  virtual HRESULT GetTypeComp(ITypeComp** comp) = 0;                                  // 4
  virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) = 0;                       // 5
  virtual HRESULT GetVarDesc(UINT index, VARDESC** desc) = 0;                         // 6
  virtual HRESULT GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) = 0;  // 7
  virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) = 0;                // 8
  virtual HRESULT GetImplTypeFlags(UINT index, int* flags) = 0;                       // 9
  virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;      // 10
  virtual HRESULT Invoke(void* instance, MEMBERID id, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* exception, UINT* argError) = 0;   // 11
  virtual HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* helpContext,
                                   BSTR* helpFile) = 0;                               // 12
  virtual HRESULT GetDllEntry(MEMBERID id, INVOKEKIND kind, BSTR* dll, BSTR* name,
                              WORD* ordinal) = 0;                                     // 13
  virtual HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) = 0;                 // 14
  virtual HRESULT AddressOfMember(MEMBERID id, INVOKEKIND kind, void** address) = 0;  // 15
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;     // 16
  virtual HRESULT GetMops(MEMBERID id, BSTR* mops) = 0;                               // 17
  virtual HRESULT GetContainingTypeLib(ITypeLib** library, UINT* index) = 0;          // 18
  virtual void ReleaseTypeAttr(TYPEATTR* attr) = 0;                                   // 19
  virtual void ReleaseFuncDesc(FUNCDESC* desc) = 0;                                   // 20
  virtual void ReleaseVarDesc(VARDESC* desc) = 0;                                     // 21
};

// Where a type's class information comes from, for hosts that connect to its events.
inline constexpr IID IID_IProvideClassInfo = MakeGuid("B196B283-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IProvideClassInfo2 = MakeGuid("A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851");
inline constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

class IProvideClassInfo : public IUnknown {
 public:
  virtual HRESULT GetClassInfo(ITypeInfo** info) = 0;  // 3
};

class IProvideClassInfo2 : public IProvideClassInfo {
 public:
  virtual HRESULT GetGUID(DWORD kind, GUID* guid) = 0;  // 4
};

}  // namespace vantrel::com
