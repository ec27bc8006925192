// SPDX-License-Identifier: GPL-3.0-or-later
// The member tables and the late-binding engine that runs on them.
#include "encorva/type_description.h"

#include <algorithm>
#include <cctype>

namespace vantrel::encorva {
namespace {

constexpr unsigned kOutValue = kOut | kRetval;

// One line per member keeps the table readable against the slot list of the interface.
#define ENCORVA_GET(id, name, vt, T)                                                  \
  MemberDescription {                                                                 \
    id, #name, MemberKind::PropertyGet, {{"pVal", vt, kOutValue}}, "property " #name, \
        [](IEncorvaObj* o, const CallArguments& a) -> HRESULT {                       \
          return o->get_##name(reinterpret_cast<T*>(a.Out<void>(0)));                 \
        }                                                                             \
  }
#define ENCORVA_PUT(id, name, vt, T, Read)                                   \
  MemberDescription {                                                        \
    id, #name, MemberKind::PropertyPut, {{"", vt, kIn}}, "property " #name,  \
        [](IEncorvaObj* o, const CallArguments& a) -> HRESULT {              \
          return o->put_##name(static_cast<T>(a.Read(0)));                   \
        }                                                                    \
  }
#define ENCORVA_PROP(id, name, vt, T, Read) \
  ENCORVA_GET(id, name, vt, T), ENCORVA_PUT(id, name, vt, T, Read)

InterfaceDescription MakeObjectDescription() {
  return {
      "IEncorvaObj",
      IID_IEncorvaObj,
      "IEncorvaObj Interface",
      {
          ENCORVA_PROP(1, OutputAudioBitrate, VT_I4, LONG, Long),
          ENCORVA_PROP(2, DeleteTemporaryFiles, VT_BOOL, VARIANT_BOOL, Bool),
          ENCORVA_GET(3, Duration, VT_R8, double),
          ENCORVA_GET(4, DXVersion, VT_I4, LONG),
          ENCORVA_GET(5, EncodeFramerate, VT_I4, LONG),
          {6, "GetFileInfo", MemberKind::Method,
           {{"Filename", VT_BSTR, kIn},
            {"Framerate", VT_R8, kOut},
            {"Duration", VT_R8, kOut},
            {"VideoStreamAvailable", VT_BOOL, kOut},
            {"AudioStreamAvailable", VT_BOOL, kOut},
            {"Width", VT_I4, kOut},
            {"Height", VT_I4, kOut},
            {"Bitrate", VT_I4, kOut},
            {"PosterFramePath", VT_BSTR, kOut}},
           "method GetFileInfo",
           [](IEncorvaObj* o, const CallArguments& a) -> HRESULT {
             return o->GetFileInfo(a.Text(0), a.Out<double>(1), a.Out<double>(2),
                                   a.Out<VARIANT_BOOL>(3), a.Out<VARIANT_BOOL>(4),
                                   a.Out<LONG>(5), a.Out<LONG>(6), a.Out<LONG>(7),
                                   a.Out<BSTR>(8));
           }},
          ENCORVA_PUT(7, ReservedText, VT_BSTR, BSTR, Text),
          {8, "LoadSettings", MemberKind::Method, {{"RegistryKey", VT_BSTR, kIn}},
           "method LoadSettings",
           [](IEncorvaObj* o, const CallArguments& a) -> HRESULT {
             return o->LoadSettings(a.Text(0));
           }},
          ENCORVA_PROP(9, OutputAudioFormat, VT_I4, EnumMPEGAudioFormat, Long),
          ENCORVA_PROP(10, OutputFile, VT_BSTR, BSTR, Text),
          ENCORVA_PROP(11, OutputFramerate, VT_R8, double, Double),
          ENCORVA_PROP(12, OutputHeight, VT_I4, LONG, Long),
          ENCORVA_PROP(13, OutputQuality, VT_I4, LONG, Long),
          ENCORVA_PROP(14, OutputVideoFormat, VT_I4, EnumMPEGVideoFormat, Long),
          ENCORVA_PROP(15, OutputWidth, VT_I4, LONG, Long),
          ENCORVA_PROP(16, PerformMultiplex, VT_BOOL, VARIANT_BOOL, Bool),
          ENCORVA_GET(17, Progress, VT_R8, double),
          ENCORVA_PROP(18, QuickEncode, VT_BOOL, VARIANT_BOOL, Bool),
          {19, "SaveSettings", MemberKind::Method, {{"RegistryKey", VT_BSTR, kIn}},
           "method SaveSettings",
           [](IEncorvaObj* o, const CallArguments& a) -> HRESULT {
             return o->SaveSettings(a.Text(0));
           }},
          ENCORVA_PROP(20, SourceFile, VT_BSTR, BSTR, Text),
          {21, "StartConversion", MemberKind::Method, {{"Result", VT_BOOL, kOutValue}},
           "method StartConversion",
           [](IEncorvaObj* o, const CallArguments& a) -> HRESULT {
             return o->StartConversion(a.Out<VARIANT_BOOL>(0));
           }},
          ENCORVA_PROP(22, StartTime, VT_R8, double, Double),
          ENCORVA_PROP(23, StopTime, VT_R8, double, Double),
          {24, "StopConversion", MemberKind::Method, {}, "method StopConversion",
           [](IEncorvaObj* o, const CallArguments&) -> HRESULT { return o->StopConversion(); }},
          ENCORVA_GET(25, TimeElapsed, VT_R8, double),
          ENCORVA_PROP(26, OutputVBRVideo, VT_BOOL, VARIANT_BOOL, Bool),
          ENCORVA_PROP(27, OutputVideoBitrate, VT_I4, LONG, Long),
          ENCORVA_GET(28, WrittenBytes, VT_I4, LONG),
          ENCORVA_PROP(29, VideoEncoder, VT_BSTR, BSTR, Text),
          ENCORVA_PROP(30, VideoEncoderKey, VT_BSTR, BSTR, Text),
          {31, "CreateStill", MemberKind::Method,
           {{"LowResPath", VT_BSTR, kIn},
            {"HighResPath", VT_BSTR, kIn},
            {"OutputPath", VT_BSTR, kIn},
            {"format", VT_I4, kIn}},
           "method CreateStill",
           [](IEncorvaObj* o, const CallArguments& a) -> HRESULT {
             return o->CreateStill(a.Text(0), a.Text(1), a.Text(2),
                                   static_cast<EnumMPEGVideoFormat>(a.Long(3)));
           }},
          ENCORVA_PROP(32, OutputAudioSampleRate, VT_I4, LONG, Long),
          ENCORVA_PROP(33, Pause, VT_BOOL, VARIANT_BOOL, Bool),
          ENCORVA_GET(34, CurrentStatus, VT_BSTR, BSTR),
          ENCORVA_PROP(35, AutoBitrate, VT_BOOL, VARIANT_BOOL, Bool),
          ENCORVA_PROP(36, AutoDimensions, VT_BOOL, VARIANT_BOOL, Bool),
      }};
}

InterfaceDescription MakeEventsDescription() {
  return {"_IEncorvaObjEvents",
          DIID__IEncorvaObjEvents,
          "_IEncorvaObjEvents Interface",
          {
              {1, "AboutToRun", MemberKind::Method, {}, "Methode AboutToRun", nullptr},
              {2, "Complete", MemberKind::Method, {}, "Methode Complete", nullptr},
              {3, "StatusChanged", MemberKind::Method,
               {{"NewStatus", VT_I4, kIn}, {"StatusDescription", VT_BSTR, kIn}},
               "Methode StatusChanged", nullptr},
              {4, "Error", MemberKind::Method,
               {{"ErrorValue", VT_I4, kIn}, {"ErrorMessage", VT_BSTR, kIn}}, "Methode Error",
               nullptr},
          }};
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

const MemberDescription* Find(const InterfaceDescription& d, DISPID id, MemberKind kind) {
  for (const auto& m : d.members)
    if (m.id == id && m.kind == kind) return &m;
  return nullptr;
}

// Which member a call means: a put names the put; a get, or a method call of a property
// (as script hosts make), names the get.
const MemberDescription* Choose(const InterfaceDescription& d, DISPID id, WORD flags) {
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
    return Find(d, id, MemberKind::PropertyPut);
  if (flags & DISPATCH_METHOD)
    if (auto* m = Find(d, id, MemberKind::Method)) return m;
  if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))
    return Find(d, id, MemberKind::PropertyGet);
  return nullptr;
}

// Releases what the coerced arguments own, whatever way the call ends.
struct ArgumentsGuard {
  CallArguments& args;
  ~ArgumentsGuard() {
    for (auto& v : args.values) VariantClear(&v);
  }
};

}  // namespace

const InterfaceDescription& EncorvaObjDescription() {
  static const InterfaceDescription description = MakeObjectDescription();
  return description;
}

const InterfaceDescription& EncorvaEventsDescription() {
  static const InterfaceDescription description = MakeEventsDescription();
  return description;
}

HRESULT GetIDsOfNames(const InterfaceDescription& description, LPOLESTR* names, UINT count,
                      DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const std::string member = Lower(Utf8FromBstr(names[0]));
  const MemberDescription* found = nullptr;
  for (const auto& m : description.members) {
    if (Lower(m.name) != member) continue;
    // Parameter names are those of the method, when the name is a method's.
    if (!found || m.kind == MemberKind::Method) found = &m;
  }
  if (!found) return DISP_E_UNKNOWNNAME;
  ids[0] = found->id;
  HRESULT hr = S_OK;
  for (UINT i = 1; i < count; ++i) {
    const std::string param = Lower(Utf8FromBstr(names[i]));
    for (size_t p = 0; p < found->params.size(); ++p)
      if (*found->params[p].name && Lower(found->params[p].name) == param) ids[i] = DISPID(p);
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT InvokeByDescription(const InterfaceDescription& description, IEncorvaObj* object,
                            DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                            UINT* argError) {
  const MemberDescription* member = Choose(description, id, flags);
  if (!member || !member->call) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none;
  if (!params) params = &none;
  if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;

  const bool isPut = member->kind == MemberKind::PropertyPut;
  const bool putNamed = isPut && params->cNamedArgs == 1 && params->rgdispidNamedArgs &&
                        params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
  if (params->cNamedArgs > 0 && !putNamed) return DISP_E_NONAMEDARGS;

  size_t given = 0;
  for (const auto& p : member->params)
    if (!(p.flags & kRetval)) ++given;
  if (params->cArgs != given) return DISP_E_BADPARAMCOUNT;

  CallArguments args;
  args.values.resize(member->params.size());
  args.outs.assign(member->params.size(), nullptr);
  ArgumentsGuard guard{args};
  // Out values that the caller gave as a by-reference VARIANT are written back there.
  std::vector<VARIANT*> writeBack(member->params.size(), nullptr);
  // A copy of the caller's text put into an out value; a callee that writes a new one
  // does not free it (out values are written, not replaced), so it is freed here.
  std::vector<BSTR> callerText(member->params.size(), nullptr);
  for (size_t i = 0; i < member->params.size(); ++i) {
    const ParamDescription& p = member->params[i];
    VARIANT& storage = args.values[i];
    if (p.flags & kRetval) {
      storage.vt = p.type;
      args.outs[i] = &storage.llVal;
      continue;
    }
    const UINT position = params->cArgs - 1 - UINT(i);
    const VARIANT& arg = params->rgvarg[position];
    auto fail = [&](HRESULT hr) {
      if (argError) *argError = position;
      return hr;
    };
    if (arg.vt == VT_ERROR && arg.scode == DISP_E_PARAMNOTFOUND) return fail(DISP_E_PARAMNOTOPTIONAL);
    if (p.flags & kOut) {
      if (arg.vt == (VT_BYREF | p.type) && arg.byref) {
        args.outs[i] = arg.byref;  // the callee writes the caller's own variable
      } else if (arg.vt == (VT_BYREF | VT_VARIANT) && arg.pvarVal) {
        // The caller's current value goes in first: members that leave an out value
        // untouched must hand it back as it was.
        if (FAILED(VariantChangeType(&storage, arg.pvarVal, 0, p.type))) {
          VariantClear(&storage);
          storage.vt = p.type;
        }
        if (p.type == VT_BSTR) callerText[i] = storage.bstrVal;
        args.outs[i] = &storage.llVal;
        writeBack[i] = arg.pvarVal;
      } else {
        return fail(DISP_E_TYPEMISMATCH);
      }
      continue;
    }
    if (FAILED(VariantChangeType(&storage, &arg, 0, p.type))) return fail(DISP_E_TYPEMISMATCH);
  }

  HRESULT hr = member->call(object, args);
  for (size_t i = 0; i < callerText.size(); ++i)
    if (callerText[i] && args.values[i].bstrVal != callerText[i]) SysFreeString(callerText[i]);
  if (FAILED(hr)) return hr;
  for (size_t i = 0; i < member->params.size(); ++i) {
    VARIANT* target = writeBack[i];
    if (member->params[i].flags & kRetval) target = result;
    if (!target) continue;
    VariantClear(target);
    *target = args.values[i];
    args.values[i] = VARIANT();  // ownership of a BSTR moved to the caller
  }
  return S_OK;
}

}  // namespace vantrel::encorva
