// SPDX-License-Identifier: GPL-3.0-or-later
// The control's embedding, activation, persistence and class information.
#include "encorva/ole_control.h"

#include "encorva/encorva_interfaces.h"
#include "encorva/encorva_type_info.h"
#include "encorva/extent_state.h"
#include "platform/com/connection_point.h"

namespace vantrel::encorva {
namespace {

// What the registration writes under MiscStatus\1 for the content aspect.
constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;

}  // namespace

HRESULT OleControl::QueryInterface(REFIID iid, void** object) {
  return owner_->QueryInterface(iid, object);
}

HRESULT OleControl::Answer(REFIID iid, void** object) {
  if (iid == IID_IOleObject) return Hand<IOleObject>(this, object);
  if (iid == IID_IViewObject || iid == IID_IViewObject2 || iid == IID_IViewObjectEx)
    return Hand<IViewObjectEx>(this, object);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject ||
      iid == IID_IOleInPlaceObjectWindowless)
    return Hand<IOleInPlaceObjectWindowless>(this, object);
  if (iid == IID_IOleInPlaceActiveObject) return Hand<IOleInPlaceActiveObject>(this, object);
  if (iid == IID_IOleControl) return Hand<IOleControl>(this, object);
  if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
    return Hand<IPersistStreamInit>(this, object);
  if (iid == IID_IPersistStorage) return Hand<IPersistStorage>(this, object);
  if (iid == IID_IDataObject) return Hand<IDataObject>(this, object);
  if (iid == IID_IQuickActivate) return Hand<IQuickActivate>(this, object);
  if (iid == IID_ISpecifyPropertyPages) return Hand<ISpecifyPropertyPages>(this, object);
  if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
    return Hand<IProvideClassInfo2>(this, object);
  return E_NOINTERFACE;
}

HRESULT OleControl::SetClientSite(IOleClientSite* site) {
  site_ = site;
  return S_OK;
}

HRESULT OleControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = ComPtr<IOleClientSite>(site_).Detach();
  return S_OK;
}

// Nothing to save on close: the state is the extent, which the host saves through the
// persistence interfaces when it wants it kept.
HRESULT OleControl::Close(DWORD) { return InPlaceDeactivate(); }

// Activation has nothing to show (no window, nothing visible at run time), so the
// activating verbs succeed at once.
HRESULT OleControl::DoVerb(LONG verb, MSG*, IOleClientSite*, LONG, HWND, const RECT* position) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE:
      inPlaceActive_ = true;
      if (position) position_ = *position;
      return S_OK;
    case OLEIVERB_HIDE:
      return InPlaceDeactivate();
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT OleControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  const bool changed = size->cx != extent_.cx || size->cy != extent_.cy;
  extent_ = *size;
  if (!changed) return S_OK;
  dirty_ = true;
  if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT))
    viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  return S_OK;
}

HRESULT OleControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

HRESULT OleControl::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? kMiscStatus : 0;
  return S_OK;
}

// Windowless: a host that asks for the window learns there is none.
HRESULT OleControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = nullptr;
  return E_FAIL;
}

HRESULT OleControl::InPlaceDeactivate() {
  inPlaceActive_ = false;
  return S_OK;
}

HRESULT OleControl::SetObjectRects(const RECT* position, const RECT*) {
  if (!position) return E_POINTER;
  position_ = *position;
  return S_OK;
}

HRESULT OleControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  *info = CONTROLINFO();  // no mnemonics, no keys of its own
  return S_OK;
}

HRESULT OleControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Encorva;
  return S_OK;
}

HRESULT OleControl::Load(IStream* stream) {
  HRESULT hr = LoadExtent(stream, &extent_);
  if (SUCCEEDED(hr)) dirty_ = false;
  return hr;
}

HRESULT OleControl::Save(IStream* stream, BOOL clearDirty) {
  HRESULT hr = SaveExtent(stream, extent_);
  if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
  return hr;
}

HRESULT OleControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  *size = ExtentStateSize();
  return S_OK;
}

HRESULT OleControl::InitNew() {
  extent_ = DefaultExtent();
  dirty_ = false;
  return S_OK;
}

// The set-up steps of a container in one call: the site, the view's advise sink, and the
// two connection points.
HRESULT OleControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
    return E_INVALIDARG;
  SetClientSite(container->pClientSite);
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  *control = QACONTROL();
  GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
  GetViewStatus(&control->dwViewStatus);

  ComPtr<IConnectionPointContainer> points;
  HRESULT hr = owner_->QueryInterface(IID_IConnectionPointContainer, points.PutVoid());
  if (FAILED(hr)) return hr;
  auto connect = [&](REFIID iid, IUnknown* sink, DWORD* cookie) -> HRESULT {
    if (!sink) return S_OK;
    ComPtr<IConnectionPoint> point;
    HRESULT found = points->FindConnectionPoint(iid, point.Put());
    return FAILED(found) ? found : point->Advise(sink, cookie);
  };
  hr = connect(DIID__IEncorvaObjEvents, container->pUnkEventSink, &control->dwEventCookie);
  if (FAILED(hr)) return hr;
  return connect(IID_IPropertyNotifySink, container->pPropertyNotifySink,
                 &control->dwPropNotifyCookie);
}

HRESULT OleControl::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  *pages = CAUUID();  // the component has no property pages
  return S_OK;
}

HRESULT OleControl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  return CreateCoclassTypeInfo(locks_, info);
}

HRESULT OleControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = DIID__IEncorvaObjEvents;
  return S_OK;
}

}  // namespace vantrel::encorva
