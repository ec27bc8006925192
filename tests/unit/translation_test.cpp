// SPDX-License-Identifier: GPL-3.0-or-later
// The language the program speaks: which catalogue the locale chooses, and what the built
// catalogues give for the program's texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "base/translation.h"
#include "burn/burn_dialog_state.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

std::string Choose(LocaleVariables variables, std::set<std::string> catalogues = {"en", "zh_CN", "de"}) {
  return ChooseLanguage(variables, [&](const std::string& name) { return catalogues.count(name) > 0; });
}

TEST(Translation, TheLocaleChoosesTheLanguage) {
  // No locale, C and POSIX keep the originals, whatever LANGUAGE lists (as gettext does).
  EXPECT_EQ(Choose({}), "zh_CN");
  EXPECT_EQ(Choose({"en", "", "", "C.UTF-8"}), "zh_CN");
  EXPECT_EQ(Choose({"", "POSIX", "", "en_US.UTF-8"}), "zh_CN") << "LC_ALL comes before LANG";
  // Any Chinese takes the originals; a language with a catalogue takes it.
  EXPECT_EQ(Choose({"", "", "", "zh_CN.UTF-8"}), "zh_CN");
  EXPECT_EQ(Choose({"", "", "", "zh_TW.UTF-8"}), "zh_CN");
  EXPECT_EQ(Choose({"", "", "", "en_US.UTF-8"}), "en") << "en_US falls back on en";
  EXPECT_EQ(Choose({"", "", "de_AT.UTF-8@euro", "en_GB.UTF-8"}), "de") << "LC_MESSAGES comes before LANG";
  EXPECT_EQ(Choose({"", "en_GB.UTF-8", "de_DE.UTF-8", "zh_CN.UTF-8"}), "en") << "LC_ALL comes first";
  // LANGUAGE's list is tried in order before the locale.
  EXPECT_EQ(Choose({"fr:de:en", "", "", "en_US.UTF-8"}), "de");
  EXPECT_EQ(Choose({"fr_FR:zh_CN", "", "", "en_US.UTF-8"}), "zh_CN");
  // A language without a catalogue falls back to English, not to the originals.
  EXPECT_EQ(Choose({"", "", "", "fr_FR.UTF-8"}), "en");
  EXPECT_EQ(Choose({"fr::ja", "", "", "ko_KR.UTF-8"}), "en");
  EXPECT_EQ(Choose({"", "", "", "fr_FR.UTF-8"}, {"zh_CN"}), "en") << "even when English has no file";
}

TEST(Translation, BuiltCataloguesTranslateTheProgramsTexts) {
  const std::vector<std::string> folders = LocaleFolders(std::string(VANTREL_APP_BUILD_DIR) + "/");
  ASSERT_FALSE(CatalogueFile("en", folders).empty()) << "the build compiles po/en.po";
  ASSERT_FALSE(CatalogueFile("zh_CN", folders).empty());

  ASSERT_TRUE(UseLanguage("en", folders));
  EXPECT_EQ(CurrentLanguage(), "en");
  EXPECT_STREQ(Tr("转换完成"), "Conversion finished");
  EXPECT_EQ(Tr(std::string("菜单检查: %d 个按钮正确")), "Menu check: %d buttons correct");
  // Texts that are not the program's (file names, the user's) pass unchanged.
  const char* own = "我的假期.avi";
  EXPECT_EQ(Tr(own), own);
  EXPECT_EQ(Tr(std::string()), "");

  // The contract's Chinese is its own catalogue, byte for byte.
  ASSERT_TRUE(UseLanguage("zh_CN", folders));
  EXPECT_STREQ(Tr("转换完成"), "转换完成");
  EXPECT_STREQ(Tr("创建 DVD 映象未完成。\r\n请在程序设置对话框中选择<授权之前转换/修复视频文件>。"),
               "创建 DVD 映象未完成。\r\n请在程序设置对话框中选择<授权之前转换/修复视频文件>。");

  // A language without a catalogue is refused and the originals stay.
  EXPECT_FALSE(UseLanguage("xx", folders));
  EXPECT_EQ(CurrentLanguage(), "zh_CN");
  EXPECT_STREQ(Tr("转换完成"), "转换完成");
}

TEST(Translation, AnImageRecorderIsNamedInTheUsersLanguage) {
  const std::vector<std::string> folders = LocaleFolders(std::string(VANTREL_APP_BUILD_DIR) + "/");
  const std::string image = "D: 映像文件 (.../work/映像文件.iso)";
  ASSERT_TRUE(UseLanguage("en", folders));
  EXPECT_EQ(ShownDeviceName(image), "D: Image file (.../work/映像文件.iso)") << "the path stays the user's";
  // A drive's own name passes as it is, whatever it holds.
  EXPECT_EQ(ShownDeviceName("E: HL-DT-ST 映像文件 (x)"), "E: HL-DT-ST 映像文件 (x)");
  EXPECT_EQ(ShownDeviceName(""), "");
  ASSERT_TRUE(UseLanguage("zh_CN", folders));
  EXPECT_EQ(ShownDeviceName(image), image);
}

TEST(Translation, APartialCatalogueShowsEnglishForWhatItLacks) {
  test::TempFolder temp;
  const std::string folder = temp / "locale/";
  std::filesystem::create_directories(folder + "de/LC_MESSAGES");
  test::WriteText(temp / "de.po",
                  "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                  "msgid \"转换完成\"\nmsgstr \"Umwandlung fertig\"\n");
  ASSERT_EQ(std::system(("msgfmt -o '" + folder + "de/LC_MESSAGES/vantrel.mo' '" + temp / "de.po" + "'").c_str()), 0);
  ASSERT_TRUE(UseLanguage("de", {folder, std::string(VANTREL_APP_BUILD_DIR) + "/locale/"}));
  EXPECT_STREQ(Tr("转换完成"), "Umwandlung fertig");
  EXPECT_STREQ(Tr("生成菜单..."), "Making the menu...");
}

// A broken English catalogue is refused even after the build's English was in use.
TEST(Translation, ABrokenCatalogueKeepsTheOriginals) {
  test::TempFolder temp;
  const std::string folder = temp / "locale/";
  std::filesystem::create_directories(folder + "en/LC_MESSAGES");
  for (const std::string& bytes : {std::string("not a catalogue"), std::string("\xde\x12\x04\x95", 4) + std::string(24, '\xff')}) {
    ASSERT_TRUE(UseLanguage("en", LocaleFolders(std::string(VANTREL_APP_BUILD_DIR) + "/")));
    test::WriteText(folder + "en/LC_MESSAGES/vantrel.mo", bytes);
    EXPECT_FALSE(UseLanguage("en", {folder})) << bytes.size();
    EXPECT_STREQ(Tr("转换完成"), "转换完成");
  }
}

// The same language from other folders, or from a catalogue changed since, takes effect.
TEST(Translation, ASwitchShowsTheCatalogueOfTheNamedFolders) {
  test::TempFolder temp;
  auto compile = [&](const std::string& folder, const std::string& translation) {
    std::filesystem::create_directories(folder + "de/LC_MESSAGES");
    test::WriteText(temp / "de.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                    "msgid \"转换完成\"\nmsgstr \"" + translation + "\"\n");
    ASSERT_EQ(std::system(("msgfmt -o '" + folder + "de/LC_MESSAGES/vantrel.mo' '" + temp / "de.po" + "'").c_str()), 0);
  };
  const std::string first = temp / "first/", second = temp / "second/";
  compile(first, "Umwandlung fertig");
  compile(second, "Fertig umgewandelt");
  ASSERT_TRUE(UseLanguage("de", {first}));
  EXPECT_STREQ(Tr("转换完成"), "Umwandlung fertig");
  ASSERT_TRUE(UseLanguage("de", {second}));
  EXPECT_STREQ(Tr("转换完成"), "Fertig umgewandelt");
  compile(first, "Die Umwandlung ist fertig");
  ASSERT_TRUE(UseLanguage("de", {first}));
  EXPECT_STREQ(Tr("转换完成"), "Die Umwandlung ist fertig");
  // Every translation handed out stays readable.
  ASSERT_TRUE(UseLanguage(kOriginalLanguage, {}));
  EXPECT_STREQ(Tr("转换完成"), "转换完成");
}

}  // namespace
}  // namespace vantrel
