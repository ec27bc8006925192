// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog's values, folder choice and free space text; the disc format defaults.
#include <gtest/gtest.h>

#include "app/settings_dialog_logic.h"
#include "support/temp_folder.h"

namespace vantrel::app {
namespace {

using test::ScopedEnv;
using test::TempFolder;

TEST(SettingsDialogLogic, OkCopiesTheSixValuesAndNothingElse) {
  TempFolder folder;
  AppSettings settings(folder / "Settings.ini");
  settings.temppath = "/old";
  settings.filesystem = 0;
  SettingsDialogLogic logic(settings);
  EXPECT_EQ(logic.folder, "/old");
  EXPECT_EQ(logic.audioCodec, 1);
  logic.convertBefore = true;
  logic.createMenu = false;
  logic.deleteTemp = true;
  logic.folder = "/new";
  logic.audioCodec = 3;  // "MPEG AC3"
  logic.zoom = 0;
  AppSettings untouched = settings;
  logic.Apply(settings);
  EXPECT_TRUE(settings.convertbefore);
  EXPECT_FALSE(settings.createmenu);
  EXPECT_TRUE(settings.deletetemp);
  EXPECT_EQ(settings.temppath, "/new");
  EXPECT_EQ(settings.audiocodec, 3);
  EXPECT_EQ(settings.zoom, 0);
  EXPECT_EQ(settings.filesystem, untouched.filesystem);
  EXPECT_EQ(settings.skin, untouched.skin);
}

TEST(SettingsDialogLogic, AChosenFolderIsRememberedAndShownWithoutATrailingSlash) {
  TempFolder folder;
  ScopedEnv registry("VANTREL_REGISTRY_DIR", folder / "registry");
  AppSettings settings(folder / "Settings.ini");
  SettingsDialogLogic logic(settings);
  logic.FolderChosen(folder.Path() + "/");
  EXPECT_EQ(logic.folder, folder.Path());
  EXPECT_EQ(ReadLastDir(), folder.Path() + "/");
  logic.FolderChosen("/");
  EXPECT_EQ(logic.folder, "/");  // the root keeps its one separator
  logic.FolderChosen("");        // nothing chosen: nothing changes
  EXPECT_EQ(logic.folder, "/");
}

TEST(SettingsDialogLogic, FreeSpaceOfAFolderNotYetMadeIsItsParentsVolume) {
  TempFolder folder;
  std::uint64_t existing = 0, missing = 0;
  ASSERT_TRUE(FreeBytesFor(folder.Path(), existing));
  ASSERT_TRUE(FreeBytesFor(folder / "not/yet/made", missing));
  EXPECT_GT(existing, 0u);
  EXPECT_NEAR(double(existing), double(missing), 64.0 * 1048576);
  EXPECT_EQ(VolumeLabel("/"), "/");
  EXPECT_EQ(VolumeLabel("/proc/self"), "/proc");
  EXPECT_EQ(VolumeLabel(folder / "not/yet"), VolumeLabel(folder.Path()));
  EXPECT_EQ(FreeSpaceText("/home", 3 * 1048576 + 524288), "/home 的可用磁盘空间是 3.50MB");
  EXPECT_EQ(FreeSpaceText("/", 0), "/ 的可用磁盘空间是 0.00MB");
}

TEST(SettingsDialogLogic, TheTwoMpegChoicesADvdCannotCarrySaySo) {
  EXPECT_EQ(AudioCodecNote(0), "DVD 不能承载此声音，修复的标题使用 MPEG LAYER2");
  EXPECT_EQ(AudioCodecNote(2), AudioCodecNote(0));
  EXPECT_EQ(AudioCodecNote(1), "");
  EXPECT_EQ(AudioCodecNote(3), "");
  EXPECT_EQ(AudioCodecNote(-1), "");  // nothing chosen
}

TEST(DiscFormatLogic, TheIsoChoiceSaysTheDiscKeepsUdf) {
  EXPECT_EQ(FileSystemNote(0), "视频 DVD 需要 UDF：光盘总是同时带有 UDF 和 ISO9660，播放机才能读取");
  EXPECT_EQ(FileSystemNote(1), "");
}

TEST(DiscFormatLogic, OwnDefaultsAreUdfAndNtsc) {
  DiscFormatLogic logic;
  EXPECT_EQ(logic.fileSystem, 1);
  EXPECT_EQ(logic.standard, 1);
}

}  // namespace
}  // namespace vantrel::app
