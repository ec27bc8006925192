// SPDX-License-Identifier: GPL-3.0-or-later
// Skin files and which windows wear the skin.
#include <gtest/gtest.h>

#include "platform/skin/skin_library.h"
#include "support/temp_folder.h"

namespace vantrel::skin {
namespace {

constexpr const char* kSkin =
    "[skin]\nname=Test\nwindow=#102030\ntext=#FFFFFF\nbutton=#aabbcc\nbuttontext=#000000\n"
    "list=#010203\nlisttext=#0A0B0C\naccent=#FF0000\n";

TEST(SkinLibrary, ReadsSkinFilesAndRefusesBrokenOnes) {
  test::TempFolder folder;
  test::WriteText(folder / "good.smf", kSkin);
  SkinTheme theme;
  ASSERT_TRUE(LoadSkinFile(folder / "good.smf", theme));
  EXPECT_EQ(theme.name, "Test");
  EXPECT_EQ(theme.window, (Colour{0x10, 0x20, 0x30}));
  EXPECT_EQ(theme.button, (Colour{0xaa, 0xbb, 0xcc}));
  test::WriteText(folder / "bad.smf", std::string(kSkin).replace(std::string(kSkin).find("#aabbcc"), 7, "#xyz123"));
  EXPECT_FALSE(LoadSkinFile(folder / "bad.smf", theme));
  EXPECT_EQ(theme.name, "Test");  // a refused file leaves the theme as it was
  EXPECT_FALSE(LoadSkinFile(folder / "missing.smf", theme));
}

TEST(SkinLibrary, DialogSkinAndWindowsTakenOff) {
  test::TempFolder folder;
  test::WriteText(folder / "good.smf", kSkin);
  SkinLibrary skins;
  skins.Init();
  EXPECT_FALSE(skins.IsSkinned(1));
  EXPECT_FALSE(skins.LoadSkin(folder / "missing.smf"));
  ASSERT_TRUE(skins.LoadSkin(folder / "good.smf"));
  EXPECT_FALSE(skins.IsSkinned(1));  // loaded, not applied
  skins.SetDialogSkin("Dialog");
  EXPECT_TRUE(skins.IsSkinned(1));
  skins.RemoveWindowSkin(1);
  EXPECT_FALSE(skins.IsSkinned(1));
  EXPECT_TRUE(skins.IsSkinned(2));
  skins.RemoveDialogSkin();
  EXPECT_FALSE(skins.IsSkinned(2));
  skins.SetWindowSkin(1, "Dialog");
  EXPECT_TRUE(skins.IsSkinned(1));
  skins.Release();
  EXPECT_FALSE(skins.IsSkinned(1));
}

TEST(SkinLibrary, ShippedSkinsAllLoad) {
  for (const char* name : {"devior.smf", "x-plus.smf", "kromo.smf"}) {
    SkinTheme theme;
    EXPECT_TRUE(LoadSkinFile(std::string(VANTREL_SOURCE_DIR) + "/data/skins/" + name, theme)) << name;
  }
}

}  // namespace
}  // namespace vantrel::skin
