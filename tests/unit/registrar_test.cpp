// SPDX-License-Identifier: GPL-3.0-or-later
// Script-driven registration into the registry hives.
#include "platform/registry/registrar.h"

#include <gtest/gtest.h>

#include "platform/registry/registry.h"
#include "support/temp_folder.h"

namespace vantrel::registry {
namespace {

const char* kScript = R"(
HKCR
{
  Encorva.EncorvaObj.1 = s 'Ostrel R&D Encorva2'
  {
    CLSID = s '{D81ADC49-B724-468C-89FC-D39AEB8A9956}'
  }
  Encorva.EncorvaObj = s 'EncorvaObj Class'
  {
    CLSID = s '{D81ADC49-B724-468C-89FC-D39AEB8A9956}'
    CurVer = s 'Encorva.EncorvaObj.1'
  }
  NoRemove CLSID
  {
    ForceRemove {D81ADC49-B724-468C-89FC-D39AEB8A9956} = s 'Ostrel R&D Encorva2'
    {
      ProgID = s 'Encorva.EncorvaObj.1'
      ForceRemove 'Programmable'
      InprocServer32 = s '%MODULE%'
      {
        val ThreadingModel = s 'Apartment'
      }
      ForceRemove 'ToolboxBitmap32' = s '%MODULE%, 101'
      'MiscStatus' = s '0'
      {
        '1' = s '132497'
      }
      Count = d 0x2a
    }
  }
}
)";

const std::string kClsid = "CLSID\\{D81ADC49-B724-468C-89FC-D39AEB8A9956}";

class RegistrarTest : public ::testing::Test {
 protected:
  test::TempFolder temp_;
  test::ScopedEnv folder_{"VANTREL_REGISTRY_DIR", temp_ / "registry"};
  const std::string module_ = "/opt/my app/it's $here/Encorva.so";
  RegistrarResult Run(RegistrarMode mode) {
    return RunRegistrationScript(kScript, {{"MODULE", module_}}, mode);
  }
};

TEST_F(RegistrarTest, WritesEveryKeyAndValue) {
  ASSERT_TRUE(Run(RegistrarMode::Register).ok);
  Hive hive = Snapshot(Root::ClassesRoot);
  EXPECT_EQ(hive.GetValue("Encorva.EncorvaObj.1", "")->text, "Ostrel R&D Encorva2");
  EXPECT_EQ(hive.GetValue("Encorva.EncorvaObj\\CurVer", "")->text, "Encorva.EncorvaObj.1");
  EXPECT_EQ(hive.GetValue(kClsid + "\\InprocServer32", "")->text, module_);
  EXPECT_EQ(hive.GetValue(kClsid + "\\InprocServer32", "ThreadingModel")->text, "Apartment");
  EXPECT_EQ(hive.GetValue(kClsid + "\\ToolboxBitmap32", "")->text, module_ + ", 101");
  EXPECT_EQ(hive.GetValue(kClsid + "\\MiscStatus\\1", "")->text, "132497");
  EXPECT_EQ(hive.GetValue(kClsid + "\\Count", "")->number, 42u);
  EXPECT_TRUE(hive.KeyExists(kClsid + "\\Programmable"));
  EXPECT_FALSE(hive.GetValue(kClsid + "\\Programmable", ""));
}

TEST_F(RegistrarTest, RegisteringTwiceLeavesOneSetAndReplacesForcedKeys) {
  ASSERT_TRUE(Run(RegistrarMode::Register).ok);
  ASSERT_TRUE(CreateKey(Root::ClassesRoot, kClsid + "\\Programmable\\Stale"));
  ASSERT_TRUE(CreateKey(Root::ClassesRoot, kClsid + "\\Leftover"));
  ASSERT_TRUE(Run(RegistrarMode::Register).ok);
  Hive hive = Snapshot(Root::ClassesRoot);
  EXPECT_FALSE(hive.KeyExists(kClsid + "\\Programmable\\Stale"));
  EXPECT_FALSE(hive.KeyExists(kClsid + "\\Leftover"));  // the class key itself is forced
  EXPECT_EQ(hive.SubKeyNames("CLSID").size(), 1u);
  EXPECT_EQ(hive.ValueNames(kClsid + "\\InprocServer32").size(), 2u);
}

TEST_F(RegistrarTest, UnregisteringKeepsTheClassFolderAndOtherClasses) {
  ASSERT_TRUE(SetString(Root::ClassesRoot, "CLSID\\{11111111-0000-0000-0000-000000000000}", "", "x"));
  ASSERT_TRUE(Run(RegistrarMode::Register).ok);
  ASSERT_TRUE(Run(RegistrarMode::Unregister).ok);
  Hive hive = Snapshot(Root::ClassesRoot);
  EXPECT_FALSE(hive.KeyExists(kClsid));
  EXPECT_FALSE(hive.KeyExists("Encorva.EncorvaObj"));
  EXPECT_FALSE(hive.KeyExists("Encorva.EncorvaObj.1"));
  EXPECT_TRUE(hive.KeyExists("CLSID"));
  EXPECT_TRUE(hive.KeyExists("CLSID\\{11111111-0000-0000-0000-000000000000}"));
  EXPECT_TRUE(Run(RegistrarMode::Unregister).ok);  // nothing left to remove is fine
}

TEST_F(RegistrarTest, BrokenScriptsAreRefusedAndWriteNothing) {
  const std::pair<const char*, const char*> cases[] = {
      {"HKLM { a }", "unknown root HKLM"},
      {"HKCR { a = s 'x' ", "missing }"},
      {"HKCR { a = s 'unterminated }", "unterminated text"},
      {"HKCR { a = q 'x' }", "unknown value type q"},
      {"HKCR { a = d 'twelve' }", "not a number: twelve"},
      {"HKCR { a = s '%NOPE%' }", "unknown variable %NOPE%"},
  };
  for (const auto& [script, error] : cases) {
    RegistrarResult result = RunRegistrationScript(script, {}, RegistrarMode::Register);
    EXPECT_FALSE(result.ok) << script;
    EXPECT_EQ(result.error, std::string("registration script: ") + error) << script;
  }
  EXPECT_EQ(Snapshot(Root::ClassesRoot).KeyCount(), 0u);
  RegistrarResult quoted =
      RunRegistrationScript("HKCU { 'it''s' = s '100%% ''sure''' }", {}, RegistrarMode::Register);
  ASSERT_TRUE(quoted.ok) << quoted.error;
  EXPECT_EQ(GetString(Root::CurrentUser, "it's", "").value_or(""), "100% 'sure'");
}

}  // namespace
}  // namespace vantrel::registry
