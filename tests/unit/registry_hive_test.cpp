// SPDX-License-Identifier: GPL-3.0-or-later
// The registry hive in memory and in its text form.
#include "platform/registry/hive.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(RegistryHive, KeysCompareWithoutCaseAndCreateTheirParents) {
  Hive hive;
  ASSERT_TRUE(hive.SetValue("CLSID\\{D81ADC49}\\InprocServer32", "", RegistryValue::String("/m.so")));
  ASSERT_TRUE(hive.SetValue("clsid\\{d81adc49}\\inprocserver32", "ThreadingModel",
                            RegistryValue::String("Apartment")));
  EXPECT_TRUE(hive.KeyExists("CLSID"));
  EXPECT_TRUE(hive.KeyExists("\\clsid\\{D81ADC49}\\"));
  EXPECT_EQ(hive.GetValue("CLSID\\{D81ADC49}\\InprocServer32", "threadingmodel")->text, "Apartment");
  EXPECT_EQ(hive.ValueNames("CLSID\\{D81ADC49}\\InprocServer32"),
            (std::vector<std::string>{"", "ThreadingModel"}));
  EXPECT_EQ(hive.SubKeyNames("CLSID"), std::vector<std::string>{"{D81ADC49}"});
  EXPECT_FALSE(hive.CreateKey("bad\nkey"));
  EXPECT_FALSE(hive.CreateKey("\\\\"));
  EXPECT_FALSE(hive.GetValue("CLSID", "missing"));
}

TEST(RegistryHive, DeleteTakesSubkeysButNotSiblings) {
  Hive hive;
  for (const char* key : {"A", "A\\B", "A\\B\\C", "AB", "A!", "A]", "B"}) hive.CreateKey(key);
  ASSERT_TRUE(hive.DeleteKey("a"));
  EXPECT_FALSE(hive.KeyExists("A\\B\\C"));
  EXPECT_FALSE(hive.KeyExists("A"));
  EXPECT_TRUE(hive.KeyExists("AB"));
  EXPECT_TRUE(hive.KeyExists("A!"));
  EXPECT_TRUE(hive.KeyExists("A]"));
  EXPECT_TRUE(hive.KeyExists("B"));
  EXPECT_FALSE(hive.DeleteKey("A"));
  EXPECT_EQ(hive.KeyCount(), 4u);
}

TEST(RegistryHive, TextFormRoundTrips) {
  Hive hive;
  hive.SetValue("Software\\quorvane\\LastDir", "", RegistryValue::String("/媒体/a \"b\" \\c\nd"));
  hive.SetValue("Software\\Encoder", "Bitrate", RegistryValue::Dword(0xA1B2C3D4));
  hive.SetValue("Software\\Encoder", "=odd name\"", RegistryValue::String(""));
  Hive back = Hive::Parse(hive.Serialize());
  EXPECT_EQ(back.Serialize(), hive.Serialize());
  EXPECT_EQ(back.GetValue("software\\QUORVANE\\lastdir", "")->text, "/媒体/a \"b\" \\c\nd");
  EXPECT_EQ(back.GetValue("Software\\Encoder", "Bitrate")->number, 0xA1B2C3D4u);
  EXPECT_TRUE(back.GetValue("Software\\Encoder", "=odd name\""));

  Hive damaged = Hive::Parse("junk\n[Good]\n\"x\"=\"1\"\nnot a value\n\"y\"=\"unterminated\n[]\n");
  EXPECT_EQ(damaged.GetValue("Good", "x")->text, "1");
  EXPECT_FALSE(damaged.GetValue("Good", "y"));
}

}  // namespace
}  // namespace vantrel
