// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion component as a client written against its contract alone sees it:
// registered with regsvr32, created by ProgID and driven through IDispatch by names.
// No header of the component is included here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "authoring/command_templates.h"
#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "platform/com/variant.h"
#include "platform/registry/registry.h"
#include "support/clips.h"
#include "support/media_check.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel::test {
namespace {

using namespace com;
using registry::Root;

const std::string kModule = std::string(VANTREL_APP_BUILD_DIR) + "/Encorva.so";
const std::string kRegsvr32 = std::string(VANTREL_APP_BUILD_DIR) + "/regsvr32";
const std::string kClassKey = "CLSID\\{D81ADC49-B724-468C-89FC-D39AEB8A9956}";
const std::string kLibraryKey = "TypeLib\\{E9675192-C4A5-4E9B-B70E-94258AB57B7E}\\1.0";

int RunRegsvr32(const std::string& arguments) {
  int status = std::system((ShellQuote(kRegsvr32) + " " + arguments + " >/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(EncorvaModuleTest, RegistersEveryKeyTwiceAsOnceAndUnregistersAllButTheClassFolder) {
  TempFolder folder;
  ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  ASSERT_EQ(RunRegsvr32(ShellQuote(kModule) + " /s"), 0);
  ASSERT_TRUE(registry::CreateKey(Root::ClassesRoot, kClassKey + "\\Programmable\\Stale"));
  ASSERT_EQ(RunRegsvr32(ShellQuote(kModule) + " /s"), 0);
  vantrel::Hive hive = registry::Snapshot(Root::ClassesRoot);
  auto text = [&](const std::string& key, const std::string& name = "") {
    auto value = hive.GetValue(key, name);
    return value ? value->text : std::string("<missing>");
  };
  EXPECT_EQ(text("Encorva.EncorvaObj.1"), "Ostrel R&D Encorva2");
  EXPECT_EQ(text("Encorva.EncorvaObj.1\\CLSID"), "{D81ADC49-B724-468C-89FC-D39AEB8A9956}");
  EXPECT_EQ(text("Encorva.EncorvaObj"), "EncorvaObj Class");
  EXPECT_EQ(text("Encorva.EncorvaObj\\CurVer"), "Encorva.EncorvaObj.1");
  EXPECT_EQ(text(kClassKey), "Ostrel R&D Encorva2");
  EXPECT_EQ(text(kClassKey + "\\ProgID"), "Encorva.EncorvaObj.1");
  EXPECT_EQ(text(kClassKey + "\\VersionIndependentProgID"), "Encorva.EncorvaObj");
  EXPECT_EQ(text(kClassKey + "\\InprocServer32"), kModule);
  EXPECT_EQ(text(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(text(kClassKey + "\\ToolboxBitmap32"), kModule + ", 101");
  EXPECT_EQ(text(kClassKey + "\\MiscStatus"), "0");
  EXPECT_EQ(text(kClassKey + "\\MiscStatus\\1"), "132497");
  EXPECT_EQ(text(kClassKey + "\\TypeLib"), "{E9675192-C4A5-4E9B-B70E-94258AB57B7E}");
  EXPECT_EQ(text(kClassKey + "\\Version"), "1.0");
  for (const char* empty : {"Programmable", "Control", "Insertable"})
    EXPECT_TRUE(hive.KeyExists(kClassKey + "\\" + empty)) << empty;
  EXPECT_FALSE(hive.KeyExists(kClassKey + "\\Programmable\\Stale"));
  EXPECT_EQ(text(kLibraryKey), "Ostrel R&D Encorva 4.0");

  ASSERT_EQ(RunRegsvr32("/u /s " + ShellQuote(kModule)), 0);
  hive = registry::Snapshot(Root::ClassesRoot);
  EXPECT_TRUE(hive.KeyExists("CLSID"));
  for (const std::string& gone : {kClassKey, std::string("Encorva.EncorvaObj"),
                                  std::string("Encorva.EncorvaObj.1"), kLibraryKey})
    EXPECT_FALSE(hive.KeyExists(gone)) << gone;
}

// A registry on a full disk: registration fails with the code of a full disk and says
// why, and what was registered before stays as it was.
TEST(EncorvaModuleTest, RegistrationOnAFullDiskReportsTheDiskFullCode) {
  TempFolder folder;
  const std::string small = folder / "registry";
  SmallFileSystem disk(small, "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "no permission to mount a small file system";
  ScopedEnv registryDir("VANTREL_REGISTRY_DIR", small);
  ASSERT_EQ(RunRegsvr32(ShellQuote(kModule) + " /s"), 0);  // fits while there is room
  const std::string before = registry::Snapshot(Root::ClassesRoot).Serialize();
  std::system(("dd if=/dev/zero of=" + ShellQuote(small + "/filler") + " bs=4k 2>/dev/null").c_str());

  ASSERT_EQ(RunRegsvr32("/u /s " + ShellQuote(kModule)), 5);  // the export failed
  std::string out;
  RunCapture(ShellQuote(kRegsvr32) + " /u " + ShellQuote(kModule) + " 2>&1", out);
  EXPECT_NE(out.find("No space left on device"), std::string::npos) << out;
  EXPECT_NE(out.find("failed with 0x80070070"), std::string::npos) << out;
  EXPECT_EQ(registry::Snapshot(Root::ClassesRoot).Serialize(), before);
}

DISPID IdOf(IDispatch* object, const std::u16string& name) {
  std::u16string copy = name;
  LPOLESTR names[] = {copy.data()};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(object->GetIDsOfNames(GUID_NULL, names, 1, 0, &id), S_OK) << Utf8FromBstr(name.c_str());
  return id;
}

HRESULT Put(IDispatch* object, DISPID id, VARIANT value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  HRESULT hr = object->Invoke(id, GUID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  VariantClear(&value);
  return hr;
}

HRESULT Get(IDispatch* object, DISPID id, VARIANT* result) {
  DISPPARAMS none;
  return object->Invoke(id, GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, result, nullptr, nullptr);
}

// A client of its own registry that knows the component by its ProgID alone.
class LateBoundClient : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunRegsvr32(ShellQuote(kModule) + " /s"), 0);
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID("Encorva.EncorvaObj", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object_.PutVoid()), S_OK);
  }

  TempFolder folder_;
  ScopedEnv registryDir_{"VANTREL_REGISTRY_DIR", folder_.Path()};
  ScopedCoInitialize com_;
  ComPtr<IDispatch> object_;
};

TEST_F(LateBoundClient, SetsAndReadsPropertiesByName) {

  EXPECT_EQ(IdOf(object_.Get(), u"outputvideoformat"), 14);
  EXPECT_EQ(IdOf(object_.Get(), u"SOURCEFILE"), 20);
  std::u16string unknown = u"NoSuchMember";
  LPOLESTR names[] = {unknown.data()};
  DISPID id = 0;
  EXPECT_EQ(object_->GetIDsOfNames(GUID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);

  // A format given as text is coerced; PAL DVD reads back as itself, an unknown one not.
  EXPECT_EQ(Put(object_.Get(), 14, MakeVariant(std::string("7"))), S_OK);
  VARIANT value;
  ASSERT_EQ(Get(object_.Get(), 14, &value), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, 7);
  EXPECT_EQ(Put(object_.Get(), 14, MakeVariant(LONG(8))), S_OK);
  ASSERT_EQ(Get(object_.Get(), 14, &value), S_OK);
  EXPECT_EQ(value.lVal, 0);  // nothing written back into the fresh result

  EXPECT_EQ(Put(object_.Get(), 20, MakeVariant(std::string("/videos/ein Film é.avi"))), S_OK);
  ASSERT_EQ(Get(object_.Get(), 20, &value), S_OK);
  ASSERT_EQ(value.vt, VT_BSTR);
  EXPECT_EQ(Utf8FromBstr(value.bstrVal), "/videos/ein Film é.avi");
  VariantClear(&value);

  VARIANT single;
  single.vt = VT_R4;
  single.fltVal = 12.5f;
  EXPECT_EQ(Put(object_.Get(), 22, single), S_OK);
  ASSERT_EQ(Get(object_.Get(), 22, &value), S_OK);
  EXPECT_EQ(value.vt, VT_R8);
  EXPECT_DOUBLE_EQ(value.dblVal, 12.5);

  // Bad calls get the standard codes and change nothing.
  EXPECT_EQ(Put(object_.Get(), 22, MakeVariant(std::string("twelve"))), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(Get(object_.Get(), 22, &value), S_OK);
  EXPECT_DOUBLE_EQ(value.dblVal, 12.5);
  EXPECT_EQ(Put(object_.Get(), 3, MakeVariant(1.0)), DISP_E_MEMBERNOTFOUND);  // Duration is read-only
  EXPECT_EQ(Get(object_.Get(), 999, &value), DISP_E_MEMBERNOTFOUND);
  VARIANT two[2] = {MakeVariant(LONG(1)), MakeVariant(LONG(2))};
  DISPPARAMS tooMany{two, nullptr, 2, 0};
  EXPECT_EQ(object_->Invoke(24, GUID_NULL, 0, DISPATCH_METHOD, &tooMany, nullptr, nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  VARIANT omitted;
  omitted.vt = VT_ERROR;
  omitted.scode = DISP_E_PARAMNOTFOUND;
  DISPPARAMS missing{&omitted, nullptr, 1, 0};
  UINT argError = 99;
  EXPECT_EQ(object_->Invoke(19, GUID_NULL, 0, DISPATCH_METHOD, &missing, nullptr, nullptr, &argError),
            DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(argError, 0u);

  // Idle readings; stopping an idle control is harmless.
  ASSERT_EQ(Get(object_.Get(), 17, &value), S_OK);
  EXPECT_EQ(value.dblVal, 0.0);
  ASSERT_EQ(Get(object_.Get(), 25, &value), S_OK);
  EXPECT_EQ(value.dblVal, 0.0);
  DISPPARAMS none;
  EXPECT_EQ(object_->Invoke(24, GUID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
}

// A script passes its variables as by-reference VARIANTs; what the member leaves untouched
// must come back as the script had it.
TEST_F(LateBoundClient, FileInfoWritesOnlyWhatTheFileTells) {
  const std::string sound = folder_ / "nur Ton.mp3";
  MakeAudioOnlyClip(sound);

  // Script variables: rate, duration, video?, audio?, width, height, bit rate, poster.
  VARIANT vars[8] = {MakeVariant(25.0), MakeVariant(99.0), MakeVariant(LONG(0)), MakeVariant(LONG(0)),
                     MakeVariant(LONG(640)), MakeVariant(LONG(480)), MakeVariant(LONG(5)),
                     MakeVariant(std::string("as the script had it"))};
  vars[2].vt = vars[3].vt = VT_BOOL;
  vars[2].boolVal = VARIANT_TRUE;   // no video: left as passed
  vars[3].boolVal = VARIANT_FALSE;  // sound: set
  VARIANT args[9];
  args[8] = MakeVariant(sound);  // reverse order: the file name is the first argument
  for (int i = 0; i < 8; ++i) {
    args[7 - i].vt = VT_BYREF | VT_VARIANT;
    args[7 - i].pvarVal = &vars[i];
  }
  DISPPARAMS params{args, nullptr, 9, 0};
  ASSERT_EQ(object_->Invoke(IdOf(object_.Get(), u"GetFileInfo"), GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                           nullptr, nullptr),
            S_OK);
  VariantClear(&args[8]);
  EXPECT_EQ(vars[0].vt, VT_R8);
  EXPECT_EQ(vars[0].dblVal, 0.0);  // preset by the inspection
  EXPECT_NEAR(vars[1].dblVal, 2.0, 0.1);
  EXPECT_EQ(vars[2].boolVal, VARIANT_TRUE);
  EXPECT_EQ(vars[3].boolVal, VARIANT_TRUE);
  EXPECT_EQ(vars[4].lVal, 0);
  EXPECT_EQ(vars[5].lVal, 0);
  EXPECT_GT(vars[6].lVal, 1000);
  ASSERT_EQ(vars[7].vt, VT_BSTR);
  EXPECT_EQ(Utf8FromBstr(vars[7].bstrVal), "as the script had it");  // no pictures, no poster

  // With pictures the script's text is replaced by the poster's path.
  const std::string clip = folder_ / "Bild.avi";
  ASSERT_TRUE(MakeClip(FlashVideoInput(320, 240, "25", 2) + " -c:v mpeg4 " + ShellQuote(clip), clip));
  args[8] = MakeVariant(clip);
  ASSERT_EQ(object_->Invoke(IdOf(object_.Get(), u"GetFileInfo"), GUID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                           nullptr, nullptr),
            S_OK);
  VariantClear(&args[8]);
  EXPECT_EQ(vars[4].lVal, 320);
  EXPECT_EQ(vars[5].lVal, 240);
  ASSERT_EQ(vars[7].vt, VT_BSTR);
  EXPECT_NE(Utf8FromBstr(vars[7].bstrVal).find("/erdposter-"), std::string::npos);
  for (VARIANT& v : vars) VariantClear(&v);
}

}  // namespace
}  // namespace vantrel::test
