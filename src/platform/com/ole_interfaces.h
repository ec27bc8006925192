// SPDX-License-Identifier: GPL-3.0-or-later
// The interfaces a container uses to host a control: embedding, in-place activation,
// drawing, persistence, data transfer, quick activation and property pages. Slots are in
// the platform's order; records a host of ours never fills are only declared.
//
// Drawing: this platform has no device contexts. Wherever an interface takes an HDC, the
// caller passes a `cairo_t*` for the target (a window's, a printer's or an image
// surface's), and rectangles are in that context's user units, pixels at identity.
#pragma once

#include "platform/com/persist.h"
#include "platform/com/stream.h"
#include "platform/com/variant.h"

namespace vantrel::com {

using HDC = void*;   // a cairo_t*, see above
using HWND = void*;  // windowless controls have none
using HACCEL = void*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using CLIPFORMAT = WORD;

struct SIZEL {
  LONG cx = 0;
  LONG cy = 0;
};
struct POINT {
  LONG x = 0;
  LONG y = 0;
};
struct RECT {
  LONG left = 0, top = 0, right = 0, bottom = 0;
};
using RECTL = RECT;
struct MSG;
struct LOGPALETTE;
struct DVTARGETDEVICE;
struct DVEXTENTINFO;
struct STGMEDIUM;
struct FORMATETC {
  CLIPFORMAT cfFormat = 0;
  DVTARGETDEVICE* ptd = nullptr;
  DWORD dwAspect = 0;
  LONG lindex = -1;
  DWORD tymed = 0;
};
struct CONTROLINFO {
  ULONG cb = sizeof(CONTROLINFO);
  HACCEL hAccel = nullptr;
  WORD cAccel = 0;
  DWORD dwFlags = 0;
};
// Counted array of GUIDs in task memory.
struct CAUUID {
  ULONG cElems = 0;
  GUID* pElems = nullptr;
};

class IMoniker;
class IEnumOLEVERB;
class IEnumSTATDATA;
class IEnumFORMATETC;
class IOleContainer;
class IOleClientSite;
class IOleInPlaceUIWindow;
class IDropTarget;
class IStorage;
class IDataObject;

inline constexpr IID IID_IAdviseSink = MakeGuid("0000010F-0000-0000-C000-000000000046");

// Told when an object's picture, data or name changes.
class IAdviseSink : public IUnknown {
 public:
  virtual void OnDataChange(FORMATETC* format, STGMEDIUM* medium) = 0;  // 3
  virtual void OnViewChange(DWORD aspect, LONG index) = 0;              // 4
  virtual void OnRename(IMoniker* moniker) = 0;                         // 5
  virtual void OnSave() = 0;                                            // 6
  virtual void OnClose() = 0;                                           // 7
};

// What a container hands a control in one call instead of the separate set-up steps.
// Interfaces a control of ours does not use are kept as plain pointers.
struct QACONTAINER {
  ULONG cbSize = sizeof(QACONTAINER);
  IOleClientSite* pClientSite = nullptr;
  IAdviseSink* pAdviseSink = nullptr;          // an IAdviseSinkEx; used as IAdviseSink
  IUnknown* pPropertyNotifySink = nullptr;     // an IPropertyNotifySink
  IUnknown* pUnkEventSink = nullptr;           // the sink of the control's default events
  DWORD dwAmbientFlags = 0;
  DWORD colorFore = 0;
  DWORD colorBack = 0;
  void* pFont = nullptr;
  void* pUndoMgr = nullptr;
  DWORD dwAppearance = 0;
  LONG lcid = 0;
  void* hpal = nullptr;
  void* pBindHost = nullptr;
  void* pOleControlSite = nullptr;
  void* pServiceProvider = nullptr;
};

// The control's answer.
struct QACONTROL {
  ULONG cbSize = sizeof(QACONTROL);
  DWORD dwMiscStatus = 0;
  DWORD dwViewStatus = 0;
  DWORD dwEventCookie = 0;
  DWORD dwPropNotifyCookie = 0;
  DWORD dwPointerActivationPolicy = 0;
};

inline constexpr IID IID_IOleClientSite = MakeGuid("00000118-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleObject = MakeGuid("00000112-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleWindow = MakeGuid("00000114-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceObject = MakeGuid("00000113-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleInPlaceObjectWindowless =
    MakeGuid("1C2056CC-5EF4-101B-8BC8-00AA003E3B29");
inline constexpr IID IID_IOleInPlaceActiveObject =
    MakeGuid("00000117-0000-0000-C000-000000000046");
inline constexpr IID IID_IOleControl = MakeGuid("B196B288-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IViewObject = MakeGuid("0000010D-0000-0000-C000-000000000046");
inline constexpr IID IID_IViewObject2 = MakeGuid("00000127-0000-0000-C000-000000000046");
inline constexpr IID IID_IViewObjectEx = MakeGuid("3AF24292-0C96-11CE-A0CF-00AA00600AB8");
inline constexpr IID IID_IPersistStreamInit = MakeGuid("7FD52380-4E07-101B-AE2D-08002B2EC713");
inline constexpr IID IID_IPersistStorage = MakeGuid("0000010A-0000-0000-C000-000000000046");
inline constexpr IID IID_IDataObject = MakeGuid("0000010E-0000-0000-C000-000000000046");
inline constexpr IID IID_IQuickActivate = MakeGuid("CF51ED10-62FE-11CF-BF86-00A0C9034836");
inline constexpr IID IID_ISpecifyPropertyPages = MakeGuid("B196B28B-BAB4-101A-B69C-00AA00341D07");

inline constexpr HRESULT OLE_S_USEREG = Code(0x00040000);
inline constexpr HRESULT OLEOBJ_S_INVALIDVERB = Code(0x00040180);
inline constexpr HRESULT DV_E_DVASPECT = Code(0x8004006B);

inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr LONG OLEIVERB_PRIMARY = 0;
inline constexpr LONG OLEIVERB_SHOW = -1;
inline constexpr LONG OLEIVERB_HIDE = -3;
inline constexpr LONG OLEIVERB_UIACTIVATE = -4;
inline constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;

enum : DWORD {
  OLEMISC_RECOMPOSEONRESIZE = 0x1, OLEMISC_CANTLINKINSIDE = 0x10, OLEMISC_INSIDEOUT = 0x80,
  OLEMISC_ACTIVATEWHENVISIBLE = 0x100, OLEMISC_INVISIBLEATRUNTIME = 0x400,
  OLEMISC_SETCLIENTSITEFIRST = 0x20000,
};
enum : DWORD { VIEWSTATUS_OPAQUE = 0x1, VIEWSTATUS_SOLIDBKGND = 0x2 };
enum : DWORD { HITRESULT_OUTSIDE = 0, HITRESULT_TRANSPARENT = 1, HITRESULT_CLOSE = 2,
               HITRESULT_HIT = 3 };

class IOleClientSite : public IUnknown {
 public:
  virtual HRESULT SaveObject() = 0;                                                    // 3
  virtual HRESULT GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) = 0;       // 4
  virtual HRESULT GetContainer(IOleContainer** container) = 0;                         // 5
  virtual HRESULT ShowObject() = 0;                                                    // 6
  virtual HRESULT OnShowWindow(BOOL show) = 0;                                         // 7
  virtual HRESULT RequestNewObjectLayout() = 0;                                        // 8
};

class IOleObject : public IUnknown {
 public:
  virtual HRESULT SetClientSite(IOleClientSite* site) = 0;                             // 3
  virtual HRESULT GetClientSite(IOleClientSite** site) = 0;                            // 4
  virtual HRESULT SetHostNames(LPCOLESTR app, LPCOLESTR object) = 0;                   // 5
  virtual HRESULT Close(DWORD saveOption) = 0;                                         // 6
  virtual HRESULT SetMoniker(DWORD which, IMoniker* moniker) = 0;                      // 7
  virtual HRESULT GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) = 0;       // 8
  virtual HRESULT InitFromData(IDataObject* data, BOOL creation, DWORD reserved) = 0;  // 9
  virtual HRESULT GetClipboardData(DWORD reserved, IDataObject** data) = 0;            // 10
  virtual HRESULT DoVerb(LONG verb, MSG* msg, IOleClientSite* site, LONG index, HWND parent,
                         const RECT* position) = 0;                                    // 11
  virtual HRESULT EnumVerbs(IEnumOLEVERB** verbs) = 0;                                 // 12
  virtual HRESULT Update() = 0;                                                        // 13
  virtual HRESULT IsUpToDate() = 0;                                                    // 14
  virtual HRESULT GetUserClassID(CLSID* clsid) = 0;                                    // 15
  virtual HRESULT GetUserType(DWORD form, LPOLESTR* type) = 0;                         // 16
  virtual HRESULT SetExtent(DWORD aspect, SIZEL* size) = 0;                            // 17
  virtual HRESULT GetExtent(DWORD aspect, SIZEL* size) = 0;                            // 18
  virtual HRESULT Advise(IAdviseSink* sink, DWORD* cookie) = 0;                        // 19
  virtual HRESULT Unadvise(DWORD cookie) = 0;                                          // 20
  virtual HRESULT EnumAdvise(IEnumSTATDATA** advises) = 0;                             // 21
  virtual HRESULT GetMiscStatus(DWORD aspect, DWORD* status) = 0;                      // 22
  virtual HRESULT SetColorScheme(LOGPALETTE* palette) = 0;                             // 23
};

class IOleWindow : public IUnknown {
 public:
  virtual HRESULT GetWindow(HWND* window) = 0;           // 3
  virtual HRESULT ContextSensitiveHelp(BOOL enter) = 0;  // 4
};

class IOleInPlaceObject : public IOleWindow {
 public:
  virtual HRESULT InPlaceDeactivate() = 0;                                   // 5
  virtual HRESULT UIDeactivate() = 0;                                        // 6
  virtual HRESULT SetObjectRects(const RECT* position, const RECT* clip) = 0;  // 7
  virtual HRESULT ReactivateAndUndo() = 0;                                   // 8
};

class IOleInPlaceObjectWindowless : public IOleInPlaceObject {
 public:
  virtual HRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                                  LRESULT* result) = 0;       // 9
  virtual HRESULT GetDropTarget(IDropTarget** target) = 0;   // 10
};

class IOleInPlaceActiveObject : public IOleWindow {
 public:
  virtual HRESULT TranslateAccelerator(MSG* msg) = 0;                             // 5
  virtual HRESULT OnFrameWindowActivate(BOOL activate) = 0;                       // 6
  virtual HRESULT OnDocWindowActivate(BOOL activate) = 0;                         // 7
  virtual HRESULT ResizeBorder(const RECT* border, IOleInPlaceUIWindow* window,
                               BOOL frameWindow) = 0;                             // 8
  virtual HRESULT EnableModeless(BOOL enable) = 0;                                // 9
};

class IOleControl : public IUnknown {
 public:
  virtual HRESULT GetControlInfo(CONTROLINFO* info) = 0;      // 3
  virtual HRESULT OnMnemonic(MSG* msg) = 0;                   // 4
  virtual HRESULT OnAmbientPropertyChange(DISPID id) = 0;     // 5
  virtual HRESULT FreezeEvents(BOOL freeze) = 0;              // 6
};

using ContinueDrawing = BOOL (*)(ULONG_PTR context);

class IViewObject : public IUnknown {
 public:
  virtual HRESULT Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                       HDC targetInfo, HDC draw, const RECTL* bounds, const RECTL* metafileBounds,
                       ContinueDrawing keepGoing, ULONG_PTR context) = 0;          // 3
  virtual HRESULT GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                              DVTARGETDEVICE* device, HDC targetInfo,
                              LOGPALETTE** colors) = 0;                            // 4
  virtual HRESULT Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) = 0;  // 5
  virtual HRESULT Unfreeze(DWORD freeze) = 0;                                     // 6
  virtual HRESULT SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) = 0;     // 7
  virtual HRESULT GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) = 0;  // 8
};

class IViewObject2 : public IViewObject {
 public:
  virtual HRESULT GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                            SIZEL* size) = 0;  // 9
};

class IViewObjectEx : public IViewObject2 {
 public:
  virtual HRESULT GetRect(DWORD aspect, RECTL* rect) = 0;                          // 10
  virtual HRESULT GetViewStatus(DWORD* status) = 0;                                // 11
  virtual HRESULT QueryHitPoint(DWORD aspect, const RECT* bounds, POINT location,
                                LONG closeHint, DWORD* hit) = 0;                   // 12
  virtual HRESULT QueryHitRect(DWORD aspect, const RECT* bounds, const RECT* location,
                               LONG closeHint, DWORD* hit) = 0;                    // 13
  virtual HRESULT GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                   HDC targetInfo, DVEXTENTINFO* info, SIZEL* size) = 0;  // 14
};

class IPersistStreamInit : public IPersist {
 public:
  virtual HRESULT IsDirty() = 0;                                  // 4
  virtual HRESULT Load(IStream* stream) = 0;                      // 5
  virtual HRESULT Save(IStream* stream, BOOL clearDirty) = 0;     // 6
  virtual HRESULT GetSizeMax(ULARGE_INTEGER* size) = 0;           // 7
  virtual HRESULT InitNew() = 0;                                  // 8
};

class IPersistStorage : public IPersist {
 public:
  virtual HRESULT IsDirty() = 0;                                  // 4
  virtual HRESULT InitNew(IStorage* storage) = 0;                 // 5
  virtual HRESULT Load(IStorage* storage) = 0;                    // 6
  virtual HRESULT Save(IStorage* storage, BOOL sameAsLoad) = 0;   // 7
  virtual HRESULT SaveCompleted(IStorage* storage) = 0;           // 8
  virtual HRESULT HandsOffStorage() = 0;                          // 9
};

class IDataObject : public IUnknown {
 public:
  virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;                  // 3
  virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;              // 4
  virtual HRESULT QueryGetData(FORMATETC* format) = 0;                                // 5
  virtual HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) = 0;           // 6
  virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;    // 7
  virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) = 0;       // 8
  virtual HRESULT DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                          DWORD* cookie) = 0;                                          // 9
  virtual HRESULT DUnadvise(DWORD cookie) = 0;                                        // 10
  virtual HRESULT EnumDAdvise(IEnumSTATDATA** advises) = 0;                           // 11
};

class IQuickActivate : public IUnknown {
 public:
  virtual HRESULT QuickActivate(QACONTAINER* container, QACONTROL* control) = 0;  // 3
  virtual HRESULT SetContentExtent(SIZEL* size) = 0;                              // 4
  virtual HRESULT GetContentExtent(SIZEL* size) = 0;                              // 5
};

class ISpecifyPropertyPages : public IUnknown {
 public:
  virtual HRESULT GetPages(CAUUID* pages) = 0;  // 3
};

}  // namespace vantrel::com
