// SPDX-License-Identifier: GPL-3.0-or-later
// AppSettings defaults, load and save rules, support.ini, the user profile and LastDir.
#include "project/app_settings.h"

#include <gtest/gtest.h>

#include "project/app_profile.h"
#include "project/support_info.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

TEST(AppSettings, DefaultsWithoutSettingsFile) {
  test::TempFolder temp;
  test::ScopedEnv home("HOME", temp.Path());
  AppSettings s(temp / "Settings.ini");
  s.Load();
  EXPECT_EQ(s.skin, 1);
  EXPECT_EQ(s.layout, 2);
  EXPECT_EQ(s.resolution, 1);
  EXPECT_TRUE(s.IsNtsc());
  EXPECT_EQ(s.filesystem, 1);
  EXPECT_EQ(s.temppath, temp / "vantrel_dvd");
  EXPECT_TRUE(s.createmenu);
  EXPECT_FALSE(s.convertbefore);
  EXPECT_TRUE(s.burnproof);
  EXPECT_EQ(s.headline, 1);
  EXPECT_EQ(s.footline, 1);
  EXPECT_EQ(s.audiocodec, 1);
  EXPECT_EQ(s.zoom, 1);
  EXPECT_EQ(s.disccapacity, 0);  // DVD-5
  EXPECT_FALSE(s.cachimage || s.dvdhigh || s.deletetemp);
}

TEST(AppSettings, LoadRules) {
  test::TempFolder temp;
  test::WriteText(temp / "Settings.ini",
                  "[menu]\nlayout=\nheadline=abc\n"
                  "[DVD]\nburnproof=7\nconvertbefore=1\nresolution=0\n"
                  "temppath=/媒体/my work\nzoom=\n");
  AppSettings s(temp / "Settings.ini");
  s.Load();
  EXPECT_EQ(s.layout, 2);    // empty keeps the default
  EXPECT_EQ(s.headline, 0);  // non-numeric reads as 0
  EXPECT_TRUE(s.burnproof);
  EXPECT_TRUE(s.convertbefore);
  EXPECT_EQ(s.resolution, 0);
  EXPECT_EQ(s.temppath, "/媒体/my work");
  EXPECT_EQ(s.zoom, 1);
  ASSERT_TRUE(s.Save());
  EXPECT_NE(test::ReadText(temp / "Settings.ini").find("burnproof=1\n"), std::string::npos);
}

TEST(AppSettings, SaveWritesAllKeysInOrder) {
  test::TempFolder temp;
  AppSettings s(temp / "Settings.ini");
  s.temppath = "/w";
  ASSERT_TRUE(s.Save());
  EXPECT_EQ(test::ReadText(temp / "Settings.ini"),
            "[general]\nskin=1\nlanguage=0\n\n"
            "[menu]\nlayout=2\nheadline=1\nfootline=1\n\n"
            "[dvd]\ntemppath=/w\nburnproof=1\ncachimage=0\ndvdhigh=0\ndeletetemp=0\n"
            "createmenu=1\naudiocodec=1\nconvertbefore=0\nzoom=1\nfilesystem=1\nresolution=1\n"
            "disccapacity=0\n");
}

TEST(AppSettings, RoundTripOfChangedValues) {
  test::TempFolder temp;
  AppSettings a(temp / "Settings.ini");
  a.skin = 3;
  a.layout = 0;
  a.headline = 0;
  a.footline = 0;
  a.burnproof = false;
  a.cachimage = a.dvdhigh = a.deletetemp = a.convertbefore = true;
  a.createmenu = false;
  a.temppath = "/tmp/a 'quoted' $dir/中文";
  a.audiocodec = 3;
  a.zoom = 0;
  a.filesystem = 0;
  a.resolution = 0;
  a.disccapacity = 1;
  ASSERT_TRUE(a.Save());
  AppSettings b(temp / "Settings.ini");
  b.Load();
  EXPECT_EQ(b.skin, 3);
  EXPECT_EQ(b.layout, 0);
  EXPECT_EQ(b.headline, 0);
  EXPECT_EQ(b.footline, 0);
  EXPECT_FALSE(b.burnproof);
  EXPECT_TRUE(b.cachimage && b.dvdhigh && b.deletetemp && b.convertbefore);
  EXPECT_FALSE(b.createmenu);
  EXPECT_EQ(b.temppath, a.temppath);
  EXPECT_EQ(b.audiocodec, 3);
  EXPECT_EQ(b.zoom, 0);
  EXPECT_EQ(b.filesystem, 0);
  EXPECT_EQ(b.resolution, 0);
  EXPECT_EQ(b.disccapacity, 1);
}

TEST(AppSettings, MalformedFileKeepsDefaults) {
  test::TempFolder temp;
  test::WriteText(temp / "Settings.ini", std::string("\0\xff\xfe[[[menu\nlayout=1\n=\n[", 24));
  AppSettings s(temp / "Settings.ini");
  s.Load();
  EXPECT_EQ(s.layout, 2);
  EXPECT_EQ(s.skin, 1);
  EXPECT_TRUE(s.Save());  // and the file can be written over
}

TEST(AppSettings, ReadOnlyApplicationFolderUsesConfigFolder) {
  test::TempFolder temp;
  test::ScopedEnv config("XDG_CONFIG_HOME", temp / "config");
  {
    test::ScopedEnv app("VANTREL_APPDIR", "/proc/");  // nothing can be created there
    EXPECT_EQ(SettingsIniPath(), temp / "config/vantrel/Settings.ini");
    AppSettings s;
    s.layout = 1;
    EXPECT_TRUE(s.Save());
    AppSettings t;
    t.Load();
    EXPECT_EQ(t.layout, 1);
  }
  test::ScopedEnv app("VANTREL_APPDIR", temp.Path());
  EXPECT_EQ(SettingsIniPath(), temp / "Settings.ini");
}

TEST(SupportInfo, ValuesOrEmpty) {
  test::TempFolder temp;
  test::WriteText(temp / "support.ini", "[support]\nhomepage=https://x.example/\nversion=" +
                                            std::string(300, 'v') + "\n");
  SupportInfo info = ReadSupportInfo(temp / "support.ini");
  EXPECT_EQ(info.homepage, "https://x.example/");
  EXPECT_EQ(info.mailto, "");
  EXPECT_EQ(info.version.size(), 255u);
  SupportInfo none = ReadSupportInfo(temp / "missing.ini");
  EXPECT_TRUE(none.homepage.empty() && none.mailto.empty() && none.version.empty());

  // The shipped file carries the build's version.
  SupportInfo shipped = ReadSupportInfo(std::string(VANTREL_APP_BUILD_DIR) + "/support.ini");
  EXPECT_FALSE(shipped.homepage.empty());
  EXPECT_EQ(shipped.version.rfind("Vantrel ", 0), 0u) << shipped.version;
  EXPECT_EQ(shipped.version.find('@'), std::string::npos) << shipped.version;
}

TEST(AppProfile, TipKeysLiveInTheUsersProfile) {
  test::TempFolder temp;
  test::ScopedEnv config("XDG_CONFIG_HOME", temp / "cfg");
  AppProfile profile;
  EXPECT_EQ(profile.Path(), temp / "cfg/vantrel/vantrel.ini");
  EXPECT_EQ(profile.GetInt(AppProfile::kTipSection, AppProfile::kTipStartUp, 0), 0);
  ASSERT_TRUE(profile.WriteInt(AppProfile::kTipSection, AppProfile::kTipFilePos, 1234));
  ASSERT_TRUE(profile.WriteString(AppProfile::kTipSection, AppProfile::kTipTimeStamp, "2026-12-07"));
  AppProfile again;
  EXPECT_EQ(again.GetInt("tip", "filepos", 0), 1234);
  EXPECT_EQ(again.GetString("Tip", "TimeStamp", ""), "2026-12-07");
}

TEST(LastDir, RemembersTheFolderInTheUsersRegistry) {
  test::TempFolder temp;
  test::ScopedEnv reg("VANTREL_REGISTRY_DIR", temp / "registry");
  EXPECT_EQ(ReadLastDir(), "");
  ASSERT_TRUE(WriteLastDir("/媒体/videos \"x\""));
  EXPECT_EQ(ReadLastDir(), "/媒体/videos \"x\"");
}

}  // namespace
}  // namespace vantrel
