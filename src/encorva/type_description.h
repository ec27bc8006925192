// SPDX-License-Identifier: GPL-3.0-or-later
// The type information of the component, described once as data: every member of
// IEncorvaObj and of the event interface with its DISPID, kind, parameters and help string.
// Late binding (GetIDsOfNames, Invoke) and the firing of events are driven by it.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "encorva/encorva_interfaces.h"

namespace vantrel::encorva {

enum class MemberKind { PropertyGet, PropertyPut, Method };

enum ParamFlags : unsigned { kIn = 1, kOut = 2, kRetval = 4 };

struct ParamDescription {
  const char* name;  // empty for the unnamed value of a property put
  VARTYPE type;      // the base type; out parameters are passed by reference to it
  unsigned flags;
};

// The arguments of one call, already coerced: `values[i]` holds parameter i in natural
// order (for an out parameter, the storage the callee writes through `Out*`).
struct CallArguments {
  std::vector<VARIANT> values;
  std::vector<void*> outs;  // per parameter: where an out value goes, else null
  LONG Long(size_t i) const { return values[i].lVal; }
  double Double(size_t i) const { return values[i].dblVal; }
  VARIANT_BOOL Bool(size_t i) const { return values[i].boolVal; }
  BSTR Text(size_t i) const { return values[i].bstrVal; }
  template <class T>
  T* Out(size_t i) const { return static_cast<T*>(outs[i]); }
};

using MemberCall = HRESULT (*)(IEncorvaObj* object, const CallArguments& args);

struct MemberDescription {
  DISPID id;
  const char* name;
  MemberKind kind;
  std::vector<ParamDescription> params;
  const char* help;
  MemberCall call;  // null for event members
};

struct InterfaceDescription {
  const char* name;
  IID iid;
  const char* help;
  std::vector<MemberDescription> members;
};

const InterfaceDescription& EncorvaObjDescription();
const InterfaceDescription& EncorvaEventsDescription();

inline constexpr const char* kLibraryName = "ENCORVALib";
inline constexpr const char* kLibraryHelp = "Ostrel R&D Encorva 4.0";
inline constexpr const char* kCoclassName = "Encorva";

// Case-insensitive, as automation names are. The first name is the member; further names
// are its parameters, answered with their positions.
HRESULT GetIDsOfNames(const InterfaceDescription& description, LPOLESTR* names, UINT count,
                      DISPID* ids);

// Invoke on `object` through the description: chooses the member by DISPID and flags,
// checks the argument count, coerces the arguments (given in reverse order) to the
// parameter types, passes out parameters by reference and returns the value.
HRESULT InvokeByDescription(const InterfaceDescription& description, IEncorvaObj* object,
                            DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                            UINT* argError);

}  // namespace vantrel::encorva
