// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/com/runtime.h"
#include "platform/com/variant.h"
#include "platform/registry/registry.h"
#include "support/temp_folder.h"

namespace vantrel::com {
namespace {

TEST(GuidTest, ParsesAndPrintsTheRegistryForm) {
  constexpr GUID graph = MakeGuid("E436EBB3-524F-11CE-9F53-0020AF0BA770");
  EXPECT_EQ(GuidToString(graph), "{E436EBB3-524F-11CE-9F53-0020AF0BA770}");
  EXPECT_EQ(ParseGuid("{e436ebb3-524f-11ce-9f53-0020af0ba770}"), graph);
  EXPECT_EQ(ParseGuid("E436EBB3-524F-11CE-9F53-0020AF0BA770"), graph);
  for (const char* bad : {"", "{E436EBB3-524F-11CE-9F53-0020AF0BA77}", "{E436EBB3524F-11CE-9F53-0020AF0BA7700}",
                          "{G436EBB3-524F-11CE-9F53-0020AF0BA770}", "{E436EBB3-524F-11CE-9F53-0020AF0BA770"})
    EXPECT_FALSE(ParseGuid(bad)) << bad;
}

TEST(BstrTest, CarriesItsLengthAndEmbeddedZeros) {
  const OLECHAR text[] = {u'a', 0, u'b'};
  BSTR b = SysAllocStringLen(text, 3);
  EXPECT_EQ(SysStringLen(b), 3u);
  EXPECT_EQ(SysStringByteLen(b), 6u);
  EXPECT_EQ(b[3], 0);
  SysFreeString(b);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  Bstr chinese("视频 $'\"");
  EXPECT_EQ(chinese.Utf8(), "视频 $'\"");
  EXPECT_EQ(SysStringLen(chinese.Get()), 6u);
}

TEST(VariantTest, CoercesTheUsualTypesAndRefusesNonsense) {
  VARIANT out;
  VARIANT in = MakeVariant(std::string("12.5"));
  ASSERT_EQ(VariantChangeType(&out, &in, 0, VT_R8), S_OK);
  EXPECT_DOUBLE_EQ(out.dblVal, 12.5);
  ASSERT_EQ(VariantChangeType(&out, &in, 0, VT_I4), S_OK);
  EXPECT_EQ(out.lVal, 13);  // rounded, as automation does
  VariantClear(&in);
  in = MakeVariant(std::string("abc"));
  EXPECT_EQ(VariantChangeType(&out, &in, 0, VT_I4), DISP_E_TYPEMISMATCH);
  VariantClear(&in);
  SHORT value = 3;
  VARIANT byRef;
  byRef.vt = VT_I2 | VT_BYREF;
  byRef.piVal = &value;
  ASSERT_EQ(VariantChangeType(&out, &byRef, 0, VT_BOOL), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  ASSERT_EQ(VariantChangeType(&out, &byRef, 0, VT_BSTR), S_OK);
  EXPECT_EQ(Utf8FromBstr(out.bstrVal), "3");
  VARIANT copy;
  ASSERT_EQ(VariantCopy(&copy, &out), S_OK);
  EXPECT_NE(copy.bstrVal, out.bstrVal);
  VariantClear(&copy);
  VariantClear(&out);
}

constexpr CLSID kThing = MakeGuid("0E0E0E0E-1111-2222-3333-444455556666");
int gThingsMade = 0;

class Thing : public Object<IUnknown> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown) return E_NOINTERFACE;
    return Hand<IUnknown>(this, object);
  }
};

HRESULT MakeThing(REFIID iid, void** object) {
  ++gThingsMade;
  return CreateAndQuery<Thing>(iid, object);
}

TEST(ComRuntimeTest, CreatesBuiltinClassesOnlyOnInitialisedThreads) {
  test::TempFolder folder;
  test::ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  ComPtr<IUnknown> object;
  EXPECT_EQ(CoCreateInstance(kThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()),
            CO_E_NOTINITIALIZED);
  ASSERT_EQ(CoInitialize(), S_OK);
  EXPECT_EQ(CoInitialize(), S_FALSE);
  EXPECT_EQ(CoCreateInstance(kThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(RegisterBuiltinClass(kThing, &MakeThing), nullptr);
  EXPECT_EQ(CoCreateInstance(kThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()),
            S_OK);
  EXPECT_TRUE(object);
  EXPECT_EQ(gThingsMade, 1);
  ComPtr<IUnknown> other;
  EXPECT_EQ(CoCreateInstance(kThing, nullptr, CLSCTX_INPROC_SERVER, IID_IClassFactory,
                             other.PutVoid()),
            E_NOINTERFACE);
  EXPECT_EQ(RegisterBuiltinClass(kThing, nullptr), &MakeThing);
  CoUninitialize();
  CoUninitialize();
  EXPECT_FALSE(IsThreadInitialised());
}

TEST(ComRuntimeTest, ARegisteredModuleThatCannotLoadIsReportedAsSuch) {
  test::TempFolder folder;
  test::ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  CoInitialize();
  registry::SetString(registry::Root::ClassesRoot,
                      "CLSID\\" + GuidToString(kThing) + "\\InprocServer32", "",
                      folder / "missing.so");
  ComPtr<IUnknown> object;
  EXPECT_EQ(CoCreateInstance(kThing, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()),
            CO_E_DLLNOTFOUND);
  CoUninitialize();
}

}  // namespace
}  // namespace vantrel::com
