// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion component as a container and a type browser see it: its type and class
// information, the control interfaces, the saved extent and the picture it draws.
#include <gtest/gtest.h>

#include <cairo.h>

#include <string>
#include <vector>

#include "encorva/control_icon.h"
#include "encorva/encorva_interfaces.h"
#include "platform/com/connection_point.h"
#include "platform/com/ole_interfaces.h"
#include "platform/com/runtime.h"
#include "platform/com/type_info.h"
#include "support/encorva_instance.h"

namespace vantrel::test {
namespace {

using namespace com;
using namespace encorva;

constexpr DWORD kRegisteredMiscStatus = 132497;  // the registration's MiscStatus\1

ComPtr<IEncorvaObj> CreateControl() { return RegisterAndCreateEncorva(); }

template <class I>
ComPtr<I> Query(const ComPtr<IEncorvaObj>& control, REFIID iid) {
  ComPtr<I> out;
  EXPECT_EQ(control.As(iid, out), S_OK) << GuidToString(iid);
  return out;
}

// The attributes of a type, copied out so the record goes back at once.
TYPEATTR Attributes(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
  TYPEATTR copy = attr ? *attr : TYPEATTR();
  if (attr) info->ReleaseTypeAttr(attr);
  return copy;
}

std::vector<std::string> Names(ITypeInfo* info, MEMBERID id) {
  BSTR names[16] = {};
  UINT count = 0;
  EXPECT_EQ(info->GetNames(id, names, 16, &count), S_OK);
  std::vector<std::string> out;
  for (UINT i = 0; i < count; ++i) out.push_back(Bstr::Attach(names[i]).Utf8());
  return out;
}

std::pair<std::string, std::string> Documentation(ITypeInfo* info, MEMBERID id) {
  Bstr name, doc;
  EXPECT_EQ(info->GetDocumentation(id, name.Put(), doc.Put(), nullptr, nullptr), S_OK);
  return {name.Utf8(), doc.Utf8()};
}

class EncorvaOleTest : public testing::Test {
 protected:
  ScopedCoInitialize com_;
  ComPtr<IEncorvaObj> control_ = CreateControl();
};

TEST_F(EncorvaOleTest, TypeInfoOfTheObjectAgreesWithLateBindingMemberByMember) {
  UINT count = 0;
  ASSERT_EQ(control_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> none;
  EXPECT_EQ(control_->GetTypeInfo(1, 0, none.Put()), DISP_E_BADINDEX);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(control_->GetTypeInfo(0, 0, info.Put()), S_OK);
  ComPtr<ITypeInfo> same;
  EXPECT_EQ(info.As(IID_ITypeInfo, same), S_OK);

  const TYPEATTR attr = Attributes(info.Get());
  EXPECT_EQ(attr.guid, IID_IEncorvaObj);
  EXPECT_EQ(attr.typekind, TKIND_DISPATCH);
  EXPECT_TRUE(attr.wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_EQ(attr.cFuncs, 58);  // one per slot after IDispatch's
  EXPECT_EQ(Documentation(info.Get(), MEMBERID_NIL),
            std::make_pair(std::string("IEncorvaObj"), std::string("IEncorvaObj Interface")));

  int methods = 0;
  for (UINT i = 0; i < attr.cFuncs; ++i) {
    FUNCDESC* f = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &f), S_OK);
    const std::vector<std::string> names = Names(info.Get(), f->memid);
    ASSERT_FALSE(names.empty());
    Bstr name(names[0]);
    LPOLESTR asked[] = {name.Get()};
    DISPID id = 0;
    EXPECT_EQ(control_->GetIDsOfNames(GUID_NULL, asked, 1, 0, &id), S_OK) << names[0];
    EXPECT_EQ(id, f->memid) << names[0];
    const std::string kind = f->invkind == INVOKE_FUNC ? "method " : "property ";
    EXPECT_EQ(Documentation(info.Get(), f->memid).second, kind + names[0]);
    EXPECT_EQ(f->oVft, SHORT((7 + i) * sizeof(void*))) << names[0];
    if (f->invkind == INVOKE_PROPERTYGET) {  // the out value is the function's type
      EXPECT_EQ(f->cParams, 0) << names[0];
      EXPECT_NE(f->elemdescFunc.tdesc.vt, VT_VOID) << names[0];
    }
    if (f->invkind == INVOKE_PROPERTYPUT) {
      EXPECT_EQ(f->cParams, 1) << names[0];
    }
    methods += f->invkind == INVOKE_FUNC;
    info->ReleaseFuncDesc(f);
  }
  EXPECT_EQ(methods, 6);
  FUNCDESC* past = nullptr;
  EXPECT_EQ(info->GetFuncDesc(attr.cFuncs, &past), TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(EncorvaOleTest, FunctionRecordsGiveParameterTypesDirectionsAndNames) {
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(control_->GetTypeInfo(0, 0, info.Put()), S_OK);
  EXPECT_EQ(Names(info.Get(), 6),
            (std::vector<std::string>{"GetFileInfo", "Filename", "Framerate", "Duration",
                                      "VideoStreamAvailable", "AudioStreamAvailable", "Width",
                                      "Height", "Bitrate", "PosterFramePath"}));
  EXPECT_EQ(Names(info.Get(), 20), std::vector<std::string>{"SourceFile"});
  EXPECT_EQ(Names(info.Get(), 21), std::vector<std::string>{"StartConversion"});
  BSTR one[1] = {};
  UINT count = 0;
  ASSERT_EQ(info->GetNames(6, one, 1, &count), S_OK);  // no more than room is given
  EXPECT_EQ(count, 1u);
  Bstr::Attach(one[0]);
  EXPECT_EQ(info->GetNames(999, one, 1, &count), TYPE_E_ELEMENTNOTFOUND);

  FUNCDESC* f = nullptr;
  ASSERT_EQ(info->GetFuncDesc(7, &f), S_OK);  // GetFileInfo follows the first seven
  EXPECT_EQ(f->memid, 6);
  ASSERT_EQ(f->cParams, 9);
  EXPECT_EQ(f->lprgelemdescParam[0].tdesc.vt, VT_BSTR);
  EXPECT_EQ(f->lprgelemdescParam[0].paramdesc.wParamFlags, PARAMFLAG_FIN);
  EXPECT_EQ(f->lprgelemdescParam[1].tdesc.vt, VT_PTR);
  EXPECT_EQ(f->lprgelemdescParam[1].tdesc.lptdesc->vt, VT_R8);
  EXPECT_EQ(f->lprgelemdescParam[1].paramdesc.wParamFlags, PARAMFLAG_FOUT);
  EXPECT_EQ(f->lprgelemdescParam[8].tdesc.lptdesc->vt, VT_BSTR);
  EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_VOID);
  info->ReleaseFuncDesc(f);

  MEMBERID ids[2] = {};
  Bstr method("getfileinfo"), param("WIDTH");
  LPOLESTR asked[] = {method.Get(), param.Get()};
  ASSERT_EQ(info->GetIDsOfNames(asked, 2, ids), S_OK);
  EXPECT_EQ(ids[0], 6);
  EXPECT_EQ(ids[1], 5);
}

TEST_F(EncorvaOleTest, InvokeThroughTheTypeInfoSetsAndReadsTheControlsProperties) {
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(control_->GetTypeInfo(0, 0, info.Put()), S_OK);
  VARIANT value = MakeVariant(std::string("/media/clip one.avi"));
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS put{&value, &named, 1, 1};
  ASSERT_EQ(info->Invoke(control_.Get(), 20, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr,
                         nullptr),
            S_OK);
  VariantClear(&value);
  Bstr direct;
  ASSERT_EQ(control_->get_SourceFile(direct.Put()), S_OK);
  EXPECT_EQ(direct.Utf8(), "/media/clip one.avi");

  control_->put_StartTime(12.5);
  VARIANT result;
  DISPPARAMS none;
  ASSERT_EQ(info->Invoke(control_.Get(), 22, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                         nullptr),
            S_OK);
  EXPECT_EQ(result.vt, VT_R8);
  EXPECT_DOUBLE_EQ(result.dblVal, 12.5);
  EXPECT_EQ(info->Invoke(control_.Get(), 777, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
}

TEST_F(EncorvaOleTest, ClassInfoDescribesTheCoclassAndItsEventInterface) {
  auto provider = Query<IProvideClassInfo2>(control_, IID_IProvideClassInfo2);
  ASSERT_TRUE(provider);
  GUID events;
  ASSERT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_EQ(events, DIID__IEncorvaObjEvents);
  EXPECT_EQ(provider->GetGUID(0, &events), E_INVALIDARG);

  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(provider->GetClassInfo(coclass.Put()), S_OK);
  const TYPEATTR attr = Attributes(coclass.Get());
  EXPECT_EQ(attr.guid, CLSID_Encorva);
  EXPECT_EQ(attr.typekind, TKIND_COCLASS);
  EXPECT_TRUE(attr.wTypeFlags & TYPEFLAG_FCANCREATE);
  ASSERT_EQ(attr.cImplTypes, 2);
  EXPECT_EQ(Documentation(coclass.Get(), MEMBERID_NIL),
            std::make_pair(std::string("Encorva"), std::string("Ostrel R&D Encorva 4.0")));

  const GUID expected[] = {IID_IEncorvaObj, DIID__IEncorvaObjEvents};
  const int flags[] = {IMPLTYPEFLAG_FDEFAULT, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE};
  const WORD funcs[] = {58, 4};
  for (UINT i = 0; i < 2; ++i) {
    int implFlags = -1;
    ASSERT_EQ(coclass->GetImplTypeFlags(i, &implFlags), S_OK);
    EXPECT_EQ(implFlags, flags[i]);
    HREFTYPE ref = 0;
    ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &ref), S_OK);
    ComPtr<ITypeInfo> implemented;
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, implemented.Put()), S_OK);
    const TYPEATTR implAttr = Attributes(implemented.Get());
    EXPECT_EQ(implAttr.guid, expected[i]);
    EXPECT_EQ(implAttr.cFuncs, funcs[i]);
  }
  int unused = 0;
  EXPECT_EQ(coclass->GetImplTypeFlags(2, &unused), TYPE_E_ELEMENTNOTFOUND);

  // The coclass makes working controls of its own.
  ComPtr<IEncorvaObj> made;
  ASSERT_EQ(coclass->CreateInstance(nullptr, IID_IEncorvaObj, made.PutVoid()), S_OK);
  EXPECT_EQ(made->put_StopTime(3.0), S_OK);
}

TEST_F(EncorvaOleTest, EventTypeInfoNamesTheFourEventsWithTheirHelpStrings) {
  auto provider = Query<IProvideClassInfo>(control_, IID_IProvideClassInfo);
  ComPtr<ITypeInfo> coclass, events;
  ASSERT_EQ(provider->GetClassInfo(coclass.Put()), S_OK);
  ASSERT_EQ(coclass->GetRefTypeInfo(1, events.Put()), S_OK);
  EXPECT_EQ(Attributes(events.Get()).typekind, TKIND_DISPATCH);
  EXPECT_FALSE(Attributes(events.Get()).wTypeFlags & TYPEFLAG_FDUAL);
  const char* expected[] = {"AboutToRun", "Complete", "StatusChanged", "Error"};
  for (MEMBERID id = 1; id <= 4; ++id) {
    const auto [name, doc] = Documentation(events.Get(), id);
    EXPECT_EQ(name, expected[id - 1]);
    EXPECT_EQ(doc, std::string("Methode ") + expected[id - 1]);
  }
  EXPECT_EQ(Names(events.Get(), 3),
            (std::vector<std::string>{"StatusChanged", "NewStatus", "StatusDescription"}));
}

// Every interface a container asks for, and the one identity behind them all.
TEST_F(EncorvaOleTest, ControlInterfacesShareTheControlsIdentity) {
  ComPtr<IUnknown> identity;
  ASSERT_EQ(control_.As(IID_IUnknown, identity), S_OK);
  const IID listed[] = {
      IID_IDispatch, IID_IViewObjectEx, IID_IViewObject2, IID_IViewObject,
      IID_IOleInPlaceObjectWindowless, IID_IOleInPlaceObject, IID_IOleWindow,
      IID_IOleInPlaceActiveObject, IID_IOleControl, IID_IOleObject, IID_IPersistStreamInit,
      IID_IPersist, IID_IPersistStorage, IID_IDataObject, IID_IQuickActivate,
      IID_ISpecifyPropertyPages, IID_IConnectionPointContainer, IID_IProvideClassInfo,
      IID_IProvideClassInfo2};
  for (const IID& iid : listed) {
    ComPtr<IUnknown> asked;
    ASSERT_EQ(control_.As(iid, asked), S_OK) << GuidToString(iid);
    ASSERT_TRUE(asked);
    ComPtr<IUnknown> back;
    ASSERT_EQ(asked.As(IID_IUnknown, back), S_OK);
    EXPECT_EQ(back.Get(), identity.Get()) << GuidToString(iid);
    ComPtr<IUnknown> other;  // and on from there to an interface of the automation side
    EXPECT_EQ(asked.As(IID_IEncorvaObj, other), S_OK);
  }
  ComPtr<IUnknown> missing;
  EXPECT_EQ(control_.As(IID_IStream, missing), E_NOINTERFACE);

  auto window = Query<IOleWindow>(control_, IID_IOleWindow);
  HWND handle = reinterpret_cast<HWND>(1);
  EXPECT_EQ(window->GetWindow(&handle), E_FAIL);  // windowless
  EXPECT_EQ(handle, nullptr);
  auto pages = Query<ISpecifyPropertyPages>(control_, IID_ISpecifyPropertyPages);
  CAUUID list{3, reinterpret_cast<GUID*>(8)};
  ASSERT_EQ(pages->GetPages(&list), S_OK);
  EXPECT_EQ(list.cElems, 0u);
  EXPECT_EQ(list.pElems, nullptr);
}

class FakeSite : public Object<IOleClientSite> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) return Hand<IOleClientSite>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT SaveObject() override { return E_NOTIMPL; }
  HRESULT GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT GetContainer(IOleContainer**) override { return E_NOTIMPL; }
  HRESULT ShowObject() override { return S_OK; }
  HRESULT OnShowWindow(BOOL) override { return S_OK; }
  HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }
  ULONG Refs() const { return refs_; }
};

TEST_F(EncorvaOleTest, OleObjectKeepsItsSiteExtentAndSaysItIsInvisibleAtRunTime) {
  auto ole = Query<IOleObject>(control_, IID_IOleObject);
  DWORD status = 0;
  ASSERT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_TRUE(status & OLEMISC_INVISIBLEATRUNTIME);
  EXPECT_EQ(status, kRegisteredMiscStatus);
  CLSID clsid;
  ASSERT_EQ(ole->GetUserClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_Encorva);

  auto site = ComPtr<FakeSite>::Attach(new FakeSite());
  ASSERT_EQ(ole->SetClientSite(site.Get()), S_OK);
  EXPECT_EQ(site->Refs(), 2u);
  ComPtr<IOleClientSite> given;
  ASSERT_EQ(ole->GetClientSite(given.Put()), S_OK);
  EXPECT_EQ(given.Get(), site.Get());
  given.Reset();
  ASSERT_EQ(ole->SetClientSite(nullptr), S_OK);
  EXPECT_EQ(site->Refs(), 1u);

  SIZEL extent;
  ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 847);  // 32 pixels at 96 dpi in HIMETRIC
  EXPECT_EQ(extent.cy, 847);
  SIZEL wanted{5080, 1270};
  ASSERT_EQ(ole->SetExtent(DVASPECT_CONTENT, &wanted), S_OK);
  EXPECT_EQ(ole->SetExtent(4, &wanted), DV_E_DVASPECT);
  auto view = Query<IViewObject2>(control_, IID_IViewObject2);
  ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
  EXPECT_EQ(extent.cx, 5080);
  EXPECT_EQ(extent.cy, 1270);
  EXPECT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
  EXPECT_EQ(ole->Close(0), S_OK);
}

class CountingAdviseSink : public Object<IAdviseSink> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IAdviseSink) return Hand<IAdviseSink>(this, object);
    return E_NOINTERFACE;
  }
  void OnDataChange(FORMATETC*, STGMEDIUM*) override {}
  void OnViewChange(DWORD aspect, LONG) override { viewChanges += aspect == DVASPECT_CONTENT; }
  void OnRename(IMoniker*) override {}
  void OnSave() override {}
  void OnClose() override {}
  int viewChanges = 0;
};

// Answers the event interface (and, for the property connection point, its interface too).
class SilentEventSink : public Object<IDispatch> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__IEncorvaObjEvents ||
        iid == IID_IPropertyNotifySink)
      return Hand<IDispatch>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return S_OK;
  }
};

TEST_F(EncorvaOleTest, QuickActivationSetsTheSiteAndConnectsTheContainersSinks) {
  auto quick = Query<IQuickActivate>(control_, IID_IQuickActivate);
  auto site = ComPtr<FakeSite>::Attach(new FakeSite());
  auto viewSink = ComPtr<CountingAdviseSink>::Attach(new CountingAdviseSink());
  auto events = ComPtr<SilentEventSink>::Attach(new SilentEventSink());
  QACONTAINER container;
  container.pClientSite = site.Get();
  container.pAdviseSink = viewSink.Get();
  container.pUnkEventSink = events.Get();
  container.pPropertyNotifySink = events.Get();
  QACONTROL answer;
  QACONTROL tooSmall;
  tooSmall.cbSize = 8;
  EXPECT_EQ(quick->QuickActivate(&container, &tooSmall), E_INVALIDARG);
  ASSERT_EQ(quick->QuickActivate(&container, &answer), S_OK);
  EXPECT_EQ(answer.dwMiscStatus, kRegisteredMiscStatus);
  EXPECT_NE(answer.dwEventCookie, 0u);
  EXPECT_NE(answer.dwPropNotifyCookie, 0u);

  ComPtr<IOleClientSite> given;
  Query<IOleObject>(control_, IID_IOleObject)->GetClientSite(given.Put());
  EXPECT_EQ(given.Get(), site.Get());
  auto points = Query<IConnectionPointContainer>(control_, IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(points->FindConnectionPoint(DIID__IEncorvaObjEvents, point.Put()), S_OK);
  EXPECT_EQ(point->Unadvise(answer.dwEventCookie), S_OK);  // the sink was connected there

  SIZEL wider{2000, 847};
  ASSERT_EQ(quick->SetContentExtent(&wider), S_OK);
  quick->SetContentExtent(&wider);  // unchanged: no news
  EXPECT_EQ(viewSink->viewChanges, 1);
  SIZEL back;
  ASSERT_EQ(quick->GetContentExtent(&back), S_OK);
  EXPECT_EQ(back.cx, 2000);

  auto view = Query<IViewObject>(control_, IID_IViewObject);
  DWORD aspects = 0;
  ComPtr<IAdviseSink> advised;
  ASSERT_EQ(view->GetAdvise(&aspects, nullptr, advised.Put()), S_OK);
  EXPECT_EQ(aspects, DVASPECT_CONTENT);
  EXPECT_EQ(advised.Get(), viewSink.Get());
  advised.Reset();
  ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, nullptr), S_OK);
  wider.cx = 3000;
  quick->SetContentExtent(&wider);
  EXPECT_EQ(viewSink->viewChanges, 1);
  Query<IOleObject>(control_, IID_IOleObject)->SetClientSite(nullptr);
}

// ---- persistence ----

std::vector<BYTE> SavedState(const ComPtr<IEncorvaObj>& control) {
  auto persist = Query<IPersistStreamInit>(control, IID_IPersistStreamInit);
  ComPtr<MemoryStream> stream = ComPtr<MemoryStream>::Attach(new MemoryStream());
  EXPECT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  return stream->Bytes();
}

SIZEL ExtentOf(const ComPtr<IEncorvaObj>& control) {
  SIZEL extent;
  EXPECT_EQ(Query<IOleObject>(control, IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &extent),
            S_OK);
  return extent;
}

HRESULT LoadInto(const ComPtr<IEncorvaObj>& control, std::vector<BYTE> bytes) {
  ComPtr<IStream> stream = ComPtr<IStream>::Attach(new MemoryStream(std::move(bytes)));
  return Query<IPersistStreamInit>(control, IID_IPersistStreamInit)->Load(stream.Get());
}

TEST_F(EncorvaOleTest, ExtentTravelsThroughAStreamIntoASecondControl) {
  auto persist = Query<IPersistStreamInit>(control_, IID_IPersistStreamInit);
  CLSID clsid;
  ASSERT_EQ(persist->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_Encorva);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  SIZEL wanted{3001, 70000};
  Query<IOleObject>(control_, IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &wanted);
  EXPECT_EQ(persist->IsDirty(), S_OK);

  const std::vector<BYTE> state = SavedState(control_);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  ULARGE_INTEGER most = 0;
  ASSERT_EQ(persist->GetSizeMax(&most), S_OK);
  EXPECT_EQ(most, state.size());

  ComPtr<IEncorvaObj> second = CreateControl();
  ASSERT_EQ(LoadInto(second, state), S_OK);
  EXPECT_EQ(ExtentOf(second).cx, 3001);
  EXPECT_EQ(ExtentOf(second).cy, 70000);
  EXPECT_EQ(SavedState(second), state);

  // InitNew starts over from the default extent.
  ASSERT_EQ(Query<IPersistStreamInit>(second, IID_IPersistStreamInit)->InitNew(), S_OK);
  EXPECT_EQ(ExtentOf(second).cx, 847);
}

TEST_F(EncorvaOleTest, ShortOrForeignStreamsAreRefusedAndLeaveTheExtent) {
  SIZEL saved{1111, 2222};
  ComPtr<IEncorvaObj> source = CreateControl();
  Query<IOleObject>(source, IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &saved);
  const std::vector<BYTE> state = SavedState(source);
  ASSERT_GT(state.size(), 8u);

  SIZEL own{400, 300};
  Query<IOleObject>(control_, IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &own);
  std::vector<std::vector<BYTE>> bad = {
      {},
      std::vector<BYTE>(state.begin(), state.end() - 1),
      std::vector<BYTE>(state.size(), 0x5A),
  };
  std::vector<BYTE> wrongType = state;
  wrongType[4] ^= 0x01;  // the first property's type
  bad.push_back(wrongType);
  std::vector<BYTE> wrongVersion = state;
  wrongVersion[0] ^= 0x80;
  bad.push_back(wrongVersion);
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_TRUE(FAILED(LoadInto(control_, bad[i]))) << "case " << i;
    EXPECT_EQ(ExtentOf(control_).cx, 400) << "case " << i;
    EXPECT_EQ(ExtentOf(control_).cy, 300) << "case " << i;
  }
  EXPECT_EQ(LoadInto(control_, state), S_OK);
  EXPECT_EQ(ExtentOf(control_).cx, 1111);
}

// ---- drawing ----

constexpr std::uint32_t kBackground = 0xFFFFFFFF;

struct Canvas {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 120, 90);
  cairo_t* cr = cairo_create(surface);
  Canvas() {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
  }
  ~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  std::uint32_t Pixel(int x, int y) {
    cairo_surface_flush(surface);
    const unsigned char* row =
        cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const std::uint32_t*>(row)[x];
  }
};

HRESULT DrawInto(const ComPtr<IEncorvaObj>& control, Canvas& canvas, RECTL bounds,
                 DWORD aspect = DVASPECT_CONTENT) {
  auto view = Query<IViewObject>(control, IID_IViewObject);
  return view->Draw(aspect, -1, nullptr, nullptr, nullptr, canvas.cr, &bounds, nullptr, nullptr,
                    0);
}

// Every pixel of the canvas is the icon's inside the icon's square at (left, top) clipped
// to `bounds`, and the background elsewhere.
void ExpectIconDrawn(Canvas& canvas, int left, int top, const RECTL& bounds) {
  const auto& icon = ControlIconPixels();
  int mismatches = 0, iconPixels = 0;
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) {
      const int ix = x - left, iy = y - top;
      const bool inIcon = ix >= 0 && ix < kIconSize && iy >= 0 && iy < kIconSize &&
                          x < bounds.right && y < bounds.bottom;
      std::uint32_t expected = kBackground;
      if (inIcon && icon[size_t(iy * kIconSize + ix)] != 0) {
        expected = icon[size_t(iy * kIconSize + ix)];
        ++iconPixels;
      }
      if (canvas.Pixel(x, y) != expected && mismatches++ < 5)
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << canvas.Pixel(x, y)
                      << " not " << expected;
    }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(iconPixels, 0);
}

TEST_F(EncorvaOleTest, DrawPutsIconPixelsAtTheTopLeftCornerOfTheRectangle) {
  ASSERT_EQ(ControlIconPixels()[0], 0u);  // the corner itself is transparent
  Canvas atOrigin;
  RECTL whole{0, 0, 120, 90};
  ASSERT_EQ(DrawInto(control_, atOrigin, whole), S_OK);
  ExpectIconDrawn(atOrigin, 0, 0, whole);

  Canvas offset;
  RECTL moved{37, 21, 110, 80};
  ASSERT_EQ(DrawInto(control_, offset, moved), S_OK);
  ExpectIconDrawn(offset, 37, 21, moved);

  // A rectangle smaller than the icon shows only what fits.
  Canvas small;
  RECTL narrow{50, 40, 66, 52};
  ASSERT_EQ(DrawInto(control_, small, narrow), S_OK);
  ExpectIconDrawn(small, 50, 40, narrow);
}

TEST_F(EncorvaOleTest, DrawRefusesOtherAspectsAndMissingTargets) {
  Canvas canvas;
  EXPECT_EQ(DrawInto(control_, canvas, {0, 0, 50, 50}, 4), DV_E_DVASPECT);
  auto view = Query<IViewObject>(control_, IID_IViewObject);
  RECTL bounds{0, 0, 50, 50};
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr,
                       nullptr, 0),
            E_INVALIDARG);
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.cr, nullptr,
                       nullptr, nullptr, 0),
            E_INVALIDARG);
  EXPECT_EQ(canvas.Pixel(16, 16), kBackground);
}

}  // namespace
}  // namespace vantrel::test
