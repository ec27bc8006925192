// SPDX-License-Identifier: GPL-3.0-or-later
// The control side of the component: what a container needs to embed, size, draw, save
// and activate it. One part object inside CEncorvaControl answers all of these
// interfaces; it counts references and answers QueryInterface through its owner, so the
// control keeps one identity. The control is windowless and invisible at run time.
#pragma once

#include <cairo.h>

#include "platform/com/object.h"
#include "platform/com/ole_interfaces.h"
#include "platform/com/type_info.h"

namespace vantrel::encorva {

using namespace com;

// The extent of a new control (HIMETRIC): its icon's size on a 96 dpi screen.
SIZEL DefaultExtent();

class OleControl final : public IOleObject,
                         public IViewObjectEx,
                         public IOleInPlaceObjectWindowless,
                         public IOleInPlaceActiveObject,
                         public IOleControl,
                         public IPersistStreamInit,
                         public IPersistStorage,
                         public IDataObject,
                         public IQuickActivate,
                         public ISpecifyPropertyPages,
                         public IProvideClassInfo2 {
 public:
  OleControl(IUnknown* owner, ModuleLockCount* locks);
  ~OleControl();
  OleControl(const OleControl&) = delete;
  OleControl& operator=(const OleControl&) = delete;

  // Hands out the asked interface of this part with a reference on the owner, or
  // E_NOINTERFACE for the owner to go on.
  HRESULT Answer(REFIID iid, void** object);

  // IUnknown, through the owner
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return owner_->AddRef(); }
  ULONG Release() override { return owner_->Release(); }

  // IOleObject
  HRESULT SetClientSite(IOleClientSite* site) override;
  HRESULT GetClientSite(IOleClientSite** site) override;
  HRESULT SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT Close(DWORD saveOption) override;
  HRESULT SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT DoVerb(LONG verb, MSG*, IOleClientSite*, LONG, HWND, const RECT*) override;
  HRESULT EnumVerbs(IEnumOLEVERB**) override { return OLE_S_USEREG; }
  HRESULT Update() override { return S_OK; }
  HRESULT IsUpToDate() override { return S_OK; }
  HRESULT GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  HRESULT GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  HRESULT SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  HRESULT GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IViewObject, IViewObject2, IViewObjectEx; `draw` is a cairo_t* (ole_interfaces.h)
  HRESULT Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
               HDC targetInfo, HDC draw, const RECTL* bounds, const RECTL* metafileBounds,
               ContinueDrawing keepGoing, ULONG_PTR context) override;
  HRESULT GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) override;
  HRESULT Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  HRESULT Unfreeze(DWORD) override { return E_NOTIMPL; }
  HRESULT SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, SIZEL* size) override;
  HRESULT GetRect(DWORD, RECTL*) override { return E_NOTIMPL; }
  HRESULT GetViewStatus(DWORD* status) override;
  HRESULT QueryHitPoint(DWORD aspect, const RECT* bounds, POINT location, LONG closeHint,
                        DWORD* hit) override;
  HRESULT QueryHitRect(DWORD, const RECT*, const RECT*, LONG, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, SIZEL*) override {
    return E_NOTIMPL;
  }

  // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
  HRESULT GetWindow(HWND* window) override;
  HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT InPlaceDeactivate() override;
  HRESULT UIDeactivate() override { return S_OK; }
  HRESULT SetObjectRects(const RECT* position, const RECT* clip) override;
  HRESULT ReactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) override { return S_FALSE; }
  HRESULT GetDropTarget(IDropTarget**) override { return E_NOTIMPL; }

  // IOleInPlaceActiveObject: nothing to translate or to show in the frame
  HRESULT TranslateAccelerator(MSG*) override { return S_FALSE; }
  HRESULT OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT ResizeBorder(const RECT*, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  HRESULT EnableModeless(BOOL) override { return S_OK; }

  // IOleControl
  HRESULT GetControlInfo(CONTROLINFO* info) override;
  HRESULT OnMnemonic(MSG*) override { return E_NOTIMPL; }
  HRESULT OnAmbientPropertyChange(DISPID) override { return S_OK; }
  HRESULT FreezeEvents(BOOL) override { return S_OK; }

  // IPersist, IPersistStreamInit
  HRESULT GetClassID(CLSID* clsid) override;
  HRESULT IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  HRESULT Load(IStream* stream) override;
  HRESULT Save(IStream* stream, BOOL clearDirty) override;
  HRESULT GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT InitNew() override;

  // IPersistStorage: there are no storages on this platform to keep the state in
  HRESULT InitNew(IStorage*) override { return InitNew(); }
  HRESULT Load(IStorage*) override { return E_NOTIMPL; }
  HRESULT Save(IStorage*, BOOL) override { return E_NOTIMPL; }
  HRESULT SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT HandsOffStorage() override { return S_OK; }

  // IDataObject: the control offers no data formats
  HRESULT GetData(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

  // IQuickActivate
  HRESULT QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  HRESULT SetContentExtent(SIZEL* size) override { return SetExtent(DVASPECT_CONTENT, size); }
  HRESULT GetContentExtent(SIZEL* size) override { return GetExtent(DVASPECT_CONTENT, size); }

  // ISpecifyPropertyPages
  HRESULT GetPages(CAUUID* pages) override;

  // IProvideClassInfo, IProvideClassInfo2
  HRESULT GetClassInfo(ITypeInfo** info) override;
  HRESULT GetGUID(DWORD kind, GUID* guid) override;

 private:
  IUnknown* owner_;
  ModuleLockCount* locks_;
  cairo_surface_t* icon_;  // icon 201, made at construction
  ComPtr<IOleClientSite> site_;
  ComPtr<IAdviseSink> viewSink_;  // told when the picture changes size
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  SIZEL extent_;  // HIMETRIC
  RECT position_;  // where the container placed the control, in its units
  bool dirty_ = false;
  bool inPlaceActive_ = false;
};

}  // namespace vantrel::encorva
