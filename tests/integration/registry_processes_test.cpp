// SPDX-License-Identifier: GPL-3.0-or-later
// Several processes writing the registry at once lose nothing.
#include <gtest/gtest.h>

#include "authoring/shell_command.h"
#include "authoring/command_templates.h"
#include "platform/registry/registry.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

TEST(RegistryProcesses, FourConcurrentWritersKeepEveryKey) {
  test::TempFolder temp;
  test::ScopedEnv folder("VANTREL_REGISTRY_DIR", temp / "registry");
  ASSERT_TRUE(registry::SetString(registry::Root::ClassesRoot, "Before", "", "kept"));
  const std::string writer = ShellQuote(std::string(VANTREL_TEST_HELPER_DIR) + "/registry_writer");
  const int kPerWriter = 60;
  std::string line, wait = "exit 0";
  for (const char* name : {"a", "b", "c", "d"}) {
    line += writer + " " + name + " " + std::to_string(kPerWriter) + " & p" + name + "=$!; ";
    wait = "wait $p" + std::string(name) + " && " + wait;
  }
  line += wait;
  ASSERT_TRUE(ShellCommand(line));

  Hive hive = registry::Snapshot(registry::Root::ClassesRoot);
  for (const char* name : {"a", "b", "c", "d"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(hive.SubKeyNames(std::string("Test\\") + name).size(), size_t(kPerWriter));
    for (int i = 0; i < kPerWriter; ++i) {
      auto owner = hive.GetValue(std::string("Test\\") + name + "\\" + std::to_string(i), "owner");
      ASSERT_TRUE(owner) << i;
      EXPECT_EQ(owner->text, name);
    }
  }
  EXPECT_EQ(registry::GetString(registry::Root::ClassesRoot, "before", "").value_or(""), "kept");
  EXPECT_FALSE(registry::KeyExists(registry::Root::CurrentUser, "Test"));
}

TEST(RegistryProcesses, DeleteAndReadBack) {
  test::TempFolder temp;
  test::ScopedEnv folder("VANTREL_REGISTRY_DIR", temp / "registry");
  using registry::Root;
  ASSERT_TRUE(registry::SetDword(Root::CurrentUser, "Software\\x", "n", 42));
  ASSERT_TRUE(registry::CreateKey(Root::CurrentUser, "Software\\x\\sub"));
  EXPECT_EQ(registry::GetDword(Root::CurrentUser, "software\\X", "N").value_or(0), 42u);
  EXPECT_FALSE(registry::GetString(Root::CurrentUser, "Software\\x", "n"));  // wrong type
  EXPECT_EQ(registry::SubKeyNames(Root::CurrentUser, "Software\\x"), std::vector<std::string>{"sub"});
  ASSERT_TRUE(registry::DeleteKey(Root::CurrentUser, "Software\\x"));
  EXPECT_FALSE(registry::KeyExists(Root::CurrentUser, "Software\\x\\sub"));
  EXPECT_TRUE(registry::KeyExists(Root::CurrentUser, "Software"));
  EXPECT_FALSE(registry::DeleteKey(Root::CurrentUser, "Software\\x"));
  EXPECT_EQ(registry::HivePath(Root::CurrentUser), temp / "registry/HKEY_CURRENT_USER.reg");
}

}  // namespace
}  // namespace vantrel
