// SPDX-License-Identifier: GPL-3.0-or-later
// ITypeInfo over the member tables. Both interfaces show their dispatch view: a getter's
// out value is the function's type, not a parameter, which is how Invoke counts arguments.
// IDispatch's own type information is not offered, so the interfaces list no base type.
#include "encorva/encorva_type_info.h"

#include <cstring>

#include "encorva/encorva_control.h"
#include "encorva/type_description.h"

namespace vantrel::encorva {
namespace {

constexpr LCID kLibraryLocale = 0x409;
constexpr WORD kDispatchSlots = 7;  // IUnknown and IDispatch before the first member
constexpr size_t kMaxParams = 16;

// A FUNCDESC and everything it points to, in one block; the FUNCDESC comes first so that
// ReleaseFuncDesc finds the block again.
struct FuncDescBlock {
  FUNCDESC desc;
  ELEMDESC params[kMaxParams];
  TYPEDESC pointees[kMaxParams];
};

INVOKEKIND InvokeKindOf(MemberKind kind) {
  switch (kind) {
    case MemberKind::PropertyGet: return INVOKE_PROPERTYGET;
    case MemberKind::PropertyPut: return INVOKE_PROPERTYPUT;
    case MemberKind::Method: break;
  }
  return INVOKE_FUNC;
}

// Answers with copies of texts in BSTRs, skipping the outs a caller passes as null.
void Give(BSTR* out, const char* text) {
  if (out) *out = BstrFromUtf8(text);
}

// The operations every type of ours answers alike.
class TypeInfoBase : public Object<ITypeInfo> {
 public:
  explicit TypeInfoBase(ModuleLockCount* locks) : locks_(locks) {
    if (locks_) locks_->Lock();
  }
  ~TypeInfoBase() override {
    if (locks_) locks_->Unlock();
  }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_ITypeInfo) return Hand<ITypeInfo>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT GetTypeAttr(TYPEATTR** attr) override {
    if (!attr) return E_INVALIDARG;
    *attr = new (std::nothrow) TYPEATTR(Attributes());
    return *attr ? S_OK : E_OUTOFMEMORY;
  }
  void ReleaseTypeAttr(TYPEATTR* attr) override { delete attr; }
  void ReleaseFuncDesc(FUNCDESC* desc) override {
    delete reinterpret_cast<FuncDescBlock*>(desc);
  }
  void ReleaseVarDesc(VARDESC*) override {}

  HRESULT GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  HRESULT GetVarDesc(UINT, VARDESC**) override { return TYPE_E_ELEMENTNOTFOUND; }
  HRESULT GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override {
    return TYPE_E_ELEMENTNOTFOUND;  // no type of ours is a module
  }
  HRESULT AddressOfMember(MEMBERID, INVOKEKIND, void**) override { return E_NOTIMPL; }
  HRESULT GetMops(MEMBERID, BSTR* mops) override {
    if (mops) *mops = nullptr;
    return S_OK;
  }
  HRESULT GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }

 protected:
  virtual TYPEATTR Attributes() const = 0;
  ModuleLockCount* locks_;
};

// IEncorvaObj (dual) or the event interface (dispatch only).
class InterfaceTypeInfo : public TypeInfoBase {
 public:
  InterfaceTypeInfo(ModuleLockCount* locks, const InterfaceDescription& description, bool dual)
      : TypeInfoBase(locks), description_(description), dual_(dual) {}

  HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) override;
  HRESULT GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) override;
  HRESULT GetRefTypeOfImplType(UINT, HREFTYPE*) override { return TYPE_E_ELEMENTNOTFOUND; }
  HRESULT GetImplTypeFlags(UINT, int*) override { return TYPE_E_ELEMENTNOTFOUND; }
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
    return encorva::GetIDsOfNames(description_, names, count, ids);
  }
  HRESULT Invoke(void* instance, MEMBERID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT* argError) override;
  HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* helpContext,
                           BSTR* helpFile) override;
  HRESULT GetRefTypeInfo(HREFTYPE, ITypeInfo**) override { return TYPE_E_ELEMENTNOTFOUND; }
  HRESULT CreateInstance(IUnknown*, REFIID, void** object) override {
    if (object) *object = nullptr;
    return TYPE_E_ELEMENTNOTFOUND;  // only a coclass makes objects
  }

 protected:
  TYPEATTR Attributes() const override {
    TYPEATTR attr;
    attr.guid = description_.iid;
    attr.lcid = kLibraryLocale;
    attr.cbSizeInstance = sizeof(void*);
    attr.typekind = TKIND_DISPATCH;
    attr.cFuncs = WORD(description_.members.size());
    attr.cbSizeVft = WORD(kDispatchSlots * sizeof(void*));
    attr.cbAlignment = alignof(void*);
    attr.wTypeFlags = TYPEFLAG_FDISPATCHABLE;
    if (dual_) attr.wTypeFlags |= TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION;
    attr.wMajorVerNum = 1;
    return attr;
  }

 private:
  // The member a DISPID names when names are asked for: the method, else the getter,
  // else the putter (all of one property share name and help).
  const MemberDescription* Member(MEMBERID id) const {
    for (MemberKind kind : {MemberKind::Method, MemberKind::PropertyGet, MemberKind::PropertyPut})
      for (const auto& m : description_.members)
        if (m.id == id && m.kind == kind) return &m;
    return nullptr;
  }

  const InterfaceDescription& description_;
  bool dual_;
};

HRESULT InterfaceTypeInfo::GetFuncDesc(UINT index, FUNCDESC** desc) {
  if (!desc) return E_INVALIDARG;
  *desc = nullptr;
  if (index >= description_.members.size()) return TYPE_E_ELEMENTNOTFOUND;
  const MemberDescription& m = description_.members[index];
  auto* block = new (std::nothrow) FuncDescBlock();
  if (!block) return E_OUTOFMEMORY;
  FUNCDESC& f = block->desc;
  f.memid = m.id;
  f.funckind = FUNC_DISPATCH;
  f.invkind = InvokeKindOf(m.kind);
  f.callconv = CC_STDCALL;
  f.oVft = dual_ ? SHORT((kDispatchSlots + index) * sizeof(void*)) : 0;
  f.elemdescFunc.tdesc.vt = VT_VOID;
  f.lprgelemdescParam = block->params;
  for (const ParamDescription& p : m.params) {
    if (p.flags & kRetval) {
      f.elemdescFunc.tdesc.vt = p.type;
      continue;
    }
    ELEMDESC& e = block->params[f.cParams];
    TYPEDESC& pointee = block->pointees[f.cParams];
    ++f.cParams;
    e.paramdesc.wParamFlags = WORD(((p.flags & kIn) ? PARAMFLAG_FIN : 0) |
                                   ((p.flags & kOut) ? PARAMFLAG_FOUT : 0));
    e.tdesc.vt = p.type;
    if (p.flags & kOut) {
      pointee.vt = p.type;
      e.tdesc.vt = VT_PTR;
      e.tdesc.lptdesc = &pointee;
    }
  }
  *desc = &f;
  return S_OK;
}

HRESULT InterfaceTypeInfo::GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) {
  if (!names || !count) return E_INVALIDARG;
  *count = 0;
  const MemberDescription* m = Member(id);
  if (!m) return TYPE_E_ELEMENTNOTFOUND;
  if (maxNames == 0) return S_OK;
  names[(*count)++] = BstrFromUtf8(m->name);
  for (const ParamDescription& p : m->params) {
    if (*count == maxNames) break;
    if ((p.flags & kRetval) || !*p.name) continue;
    names[(*count)++] = BstrFromUtf8(p.name);
  }
  return S_OK;
}

HRESULT InterfaceTypeInfo::Invoke(void* instance, MEMBERID id, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  if (!instance) return E_INVALIDARG;
  if (dual_)
    return InvokeByDescription(description_, static_cast<IEncorvaObj*>(instance), id, flags,
                               params, result, argError);
  // An event sink implements the dispatch interface only: the call goes through its Invoke.
  if (!Member(id)) return DISP_E_MEMBERNOTFOUND;
  return static_cast<IDispatch*>(instance)->Invoke(id, GUID_NULL, kLibraryLocale, flags, params,
                                                   result, exception, argError);
}

HRESULT InterfaceTypeInfo::GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc,
                                            DWORD* helpContext, BSTR* helpFile) {
  const char* memberName = description_.name;
  const char* help = description_.help;
  if (id != MEMBERID_NIL) {
    const MemberDescription* m = Member(id);
    if (!m) return TYPE_E_ELEMENTNOTFOUND;
    memberName = m->name;
    help = m->help;
  }
  Give(name, memberName);
  Give(doc, help);
  if (helpContext) *helpContext = 0;
  if (helpFile) *helpFile = nullptr;  // no help file ships
  return S_OK;
}

// The coclass: implements IEncorvaObj (default) and the event interface (default source).
class CoclassTypeInfo : public TypeInfoBase {
 public:
  using TypeInfoBase::TypeInfoBase;

  HRESULT GetFuncDesc(UINT, FUNCDESC** desc) override {
    if (desc) *desc = nullptr;
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT GetNames(MEMBERID, BSTR*, UINT, UINT* count) override {
    if (count) *count = 0;
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) override {
    if (!ref) return E_INVALIDARG;
    if (index > kEventsRef) return TYPE_E_ELEMENTNOTFOUND;
    *ref = index;
    return S_OK;
  }
  HRESULT GetImplTypeFlags(UINT index, int* flags) override {
    if (!flags) return E_INVALIDARG;
    if (index > kEventsRef) return TYPE_E_ELEMENTNOTFOUND;
    *flags = IMPLTYPEFLAG_FDEFAULT;
    if (index == kEventsRef) *flags |= IMPLTYPEFLAG_FSOURCE;
    return S_OK;
  }
  HRESULT GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return DISP_E_UNKNOWNNAME; }
  HRESULT Invoke(void*, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* helpContext,
                           BSTR* helpFile) override {
    if (id != MEMBERID_NIL) return TYPE_E_ELEMENTNOTFOUND;
    Give(name, kCoclassName);
    Give(doc, kLibraryHelp);
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = nullptr;
    return S_OK;
  }
  HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) override {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    if (ref == kObjRef) return CreateObjTypeInfo(locks_, info);
    if (ref == kEventsRef) return CreateEventsTypeInfo(locks_, info);
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return CreateEncorvaControl(iid, object, locks_);
  }

 protected:
  TYPEATTR Attributes() const override {
    TYPEATTR attr;
    attr.guid = CLSID_Encorva;
    attr.lcid = kLibraryLocale;
    attr.typekind = TKIND_COCLASS;
    attr.cImplTypes = 2;
    attr.cbAlignment = alignof(void*);
    attr.wTypeFlags = TYPEFLAG_FCANCREATE;
    attr.wMajorVerNum = 1;
    return attr;
  }

 private:
  static constexpr HREFTYPE kObjRef = 0;
  static constexpr HREFTYPE kEventsRef = 1;
};

template <class T, class... Args>
HRESULT Make(ITypeInfo** info, Args&&... args) {
  if (!info) return E_POINTER;
  *info = new (std::nothrow) T(std::forward<Args>(args)...);
  return *info ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT CreateObjTypeInfo(ModuleLockCount* locks, ITypeInfo** info) {
  return Make<InterfaceTypeInfo>(info, locks, EncorvaObjDescription(), true);
}

HRESULT CreateEventsTypeInfo(ModuleLockCount* locks, ITypeInfo** info) {
  return Make<InterfaceTypeInfo>(info, locks, EncorvaEventsDescription(), false);
}

HRESULT CreateCoclassTypeInfo(ModuleLockCount* locks, ITypeInfo** info) {
  return Make<CoclassTypeInfo>(info, locks);
}

}  // namespace vantrel::encorva
