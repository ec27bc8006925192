// SPDX-License-Identifier: GPL-3.0-or-later
// The counter module, built as its own shared library, registered with regsvr32 into a
// test registry and used the way the program uses its components.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdlib>

#include "authoring/command_templates.h"
#include "platform/com/bstr.h"
#include "platform/com/connection_point.h"
#include "platform/com/object.h"
#include "platform/com/runtime.h"
#include "platform/registry/registry.h"
#include "support/counter_module.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel::test {
namespace {

using namespace com;

const std::string kModule = std::string(VANTREL_TEST_HELPER_DIR) + "/libvantrel_counter_module.so";
const std::string kRegsvr32 = std::string(VANTREL_APP_BUILD_DIR) + "/regsvr32";

int RunRegsvr32(const std::string& arguments) {
  int status = std::system((ShellQuote(kRegsvr32) + " " + arguments + " >/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Listener : public Object<ICounterEvents> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_ICounterEvents) return Hand<ICounterEvents>(this, object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT Changed(LONG total) override {
    totals.push_back(total);
    return S_OK;
  }
  std::vector<LONG> totals;
};

bool ModuleLoaded() {
  auto modules = LoadedModules();
  return std::find(modules.begin(), modules.end(), kModule) != modules.end();
}

TEST(ComModuleTest, RegisteredModuleIsCreatedCalledAdvisedAndUnloaded) {
  TempFolder folder;
  ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  ASSERT_EQ(RunRegsvr32("\"" + kModule + "\" /s"), 0);
  EXPECT_EQ(registry::GetString(registry::Root::ClassesRoot,
                                "CLSID\\" + GuidToString(CLSID_Counter) + "\\InprocServer32", ""),
            kModule);

  CoInitialize();
  CLSID byProgId;
  ASSERT_EQ(CLSIDFromProgID(kCounterProgId, &byProgId), S_OK);
  EXPECT_EQ(byProgId, CLSID_Counter);
  {
    ComPtr<ICounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_INPROC_SERVER, IID_ICounter,
                               counter.PutVoid()),
              S_OK);
    EXPECT_TRUE(ModuleLoaded());

    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(counter.As(IID_IConnectionPointContainer, container), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.Put()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(IID_ICounterEvents, point.Put()), S_OK);
    auto* listener = new Listener;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(listener, &cookie), S_OK);
    counter->Add(2);
    counter->Add(5);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.Put()), S_OK);
    CONNECTDATA data[2];
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(2, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(data[0].dwCookie, cookie);
    data[0].pUnk->Release();
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    counter->Add(1);
    EXPECT_EQ(listener->totals, (std::vector<LONG>{2, 7}));
    listener->Release();

    LONG total = 0;
    counter->Total(&total);
    EXPECT_EQ(total, 8);
    BSTR name = nullptr;
    counter->Name(&name);
    EXPECT_EQ(Utf8FromBstr(name), "计数器 counter");
    SysFreeString(name);  // made in the module, freed here

    CoFreeUnusedLibraries();
    EXPECT_TRUE(ModuleLoaded()) << "unloaded while an object lives";
  }
  CoFreeUnusedLibraries();
  EXPECT_FALSE(ModuleLoaded());
  CoUninitialize();

  ASSERT_EQ(RunRegsvr32("\"" + kModule + "\" /u /s"), 0);
  EXPECT_FALSE(registry::KeyExists(registry::Root::ClassesRoot,
                                   "CLSID\\" + GuidToString(CLSID_Counter)));
  EXPECT_FALSE(registry::KeyExists(registry::Root::ClassesRoot, kCounterProgId));
  CoInitialize();
  ComPtr<ICounter> gone;
  EXPECT_EQ(CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_INPROC_SERVER, IID_ICounter,
                             gone.PutVoid()),
            REGDB_E_CLASSNOTREG);
  CoUninitialize();
}

TEST(ComModuleTest, ALockedServerStaysLoadedWithoutObjects) {
  TempFolder folder;
  ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  ASSERT_EQ(RunRegsvr32("\"" + kModule + "\" /s"), 0);
  CoInitialize();
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_Counter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.PutVoid()), S_OK);
    ComPtr<IUnknown> wrong;
    EXPECT_EQ(factory->CreateInstance(factory.Get(), IID_IUnknown, wrong.PutVoid()),
              CLASS_E_NOAGGREGATION);
    factory->LockServer(TRUE);
  }
  CoFreeUnusedLibraries();
  EXPECT_TRUE(ModuleLoaded());
  {
    ComPtr<IClassFactory> factory;
    CoGetClassObject(CLSID_Counter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.PutVoid());
    factory->LockServer(FALSE);
  }
  CoFreeUnusedLibraries();
  EXPECT_FALSE(ModuleLoaded());
  CoUninitialize();
}

TEST(ComModuleTest, Regsvr32NamesTheStepThatFailed) {
  TempFolder folder;
  ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  EXPECT_EQ(RunRegsvr32(""), 2);
  EXPECT_EQ(RunRegsvr32("\"" + folder / "Mpeg2Parser.ax" + "\" /s"), 3);
  // A shared library that is not a component.
  std::string lib = std::string(VANTREL_APP_BUILD_DIR) + "/libvantrel_window.so";
  EXPECT_EQ(RunRegsvr32("\"" + lib + "\" /s"), 4);
}

TEST(ComModuleTest, Regsvr32TakesOneModuleAndItsSwitchesOnly) {
  TempFolder folder;
  ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  std::string out;
  EXPECT_EQ(RunCapture(ShellQuote(kRegsvr32) + " --help 2>&1", out), 0);
  EXPECT_EQ(out.rfind("usage: regsvr32 MODULE", 0), 0u) << out;
  // Stray words are not glued into a module name, and nothing is loaded or registered.
  EXPECT_EQ(RunCapture(ShellQuote(kRegsvr32) + " " + ShellQuote(kModule) + " extra /s 2>&1", out), 2);
  EXPECT_NE(out.find("one module at a time, and only /s and /u besides it; not extra"), std::string::npos) << out;
  EXPECT_EQ(RunCapture(ShellQuote(kRegsvr32) + " " + ShellQuote(kModule) + " " + ShellQuote(kModule) + " 2>&1", out), 2);
  EXPECT_EQ(RunCapture(ShellQuote(kRegsvr32) + " --unregister 2>&1", out), 2);
  EXPECT_NE(out.find("unknown switch --unregister"), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(folder / "HKEY_CLASSES_ROOT.reg")) << "nothing may have been registered";
}

}  // namespace
}  // namespace vantrel::test
