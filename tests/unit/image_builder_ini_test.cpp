// SPDX-License-Identifier: GPL-3.0-or-later
// tmpFoxImage.ini as the fallback writes it and the image builder reads it back.
#include <gtest/gtest.h>

#include "authoring/image_builder_fallback.h"
#include "authoring/run_folders.h"
#include "base/ini_file.h"
#include "platform/foximager/image_builder_ini.h"
#include "unit/menu_fixture.h"

namespace vantrel {
namespace {

TEST(ImageBuilderIni, TitlesWithWidenedThumbnailRectangles) {
  test::MenuFixture menu;
  std::vector<std::string> files;
  for (const char* name : {"a.mpg", "b & c.mpg", "中文.mpg"}) {
    files.push_back(menu.temp / name);
    test::WriteText(files.back(), "x");
  }
  menu.Build(files, true);  // NTSC: the rectangles arrive scaled
  menu.model.Title(1).RepairedPath = menu.temp / "(TaliroFixedDVD)b & c.mpg";
  test::WriteText(menu.model.Title(1).RepairedPath, "x");
  const std::string path = menu.temp / "tmpFoxImage.ini";
  test::WriteText(path, "[3]\nfile=left over\n[keep]\nx=1\n");
  RunFolders folders = RunFolders::For("/w", menu.temp.Path());
  ASSERT_TRUE(WriteImageBuilderIni(path, menu.model, folders));

  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("信息", "选择", ""), "3");
  EXPECT_EQ(ini.ReadString("信息", "menu", ""), "/w/TEMP/menu_background01.mpg");
  // Slot 1: thumbnail (10, 100) 80 x 60, NTSC top 83 height 50.
  EXPECT_EQ(ini.ReadString("0", "TopLeft", ""), "8,81");
  EXPECT_EQ(ini.ReadString("0", "RightBottom", ""), "92,135");
  EXPECT_EQ(ini.ReadString("0", "Width", ""), "84");
  EXPECT_EQ(ini.ReadString("0", "Height", ""), "54");
  EXPECT_EQ(ini.ReadString("1", "file", ""), menu.model.Title(1).RepairedPath);
  EXPECT_EQ(ini.ReadString("2", "file", ""), files[2]);
  EXPECT_EQ(ini.ReadString("3", "file", ""), "left over");  // earlier sections stay
  EXPECT_EQ(ini.ReadString("keep", "x", ""), "1");

  ImageBuilderInput input;
  std::string error;
  ASSERT_TRUE(ReadImageBuilderIni(path, input, error)) << error;
  ASSERT_EQ(input.titles.size(), 3u);  // the count decides, not the sections
  EXPECT_EQ(input.titles[0].button, (Rect{8, 81, 84, 54}));
  EXPECT_EQ(input.menuMovie, "/w/TEMP/menu_background01.mpg");
}

TEST(ImageBuilderIni, RefusesWhatItCannotBuild) {
  test::TempFolder temp;
  test::WriteText(temp / "clip.mpg", "x");
  const std::string clip = temp / "clip.mpg";
  const std::pair<std::string, std::string> cases[] = {
      {"", "no titles"},
      {"[信息]\n选择=0\n", "no titles"},
      {"[信息]\n选择=1\n[0]\nTopLeft=1,2\nfile=" + clip + "\n", "title 0: no usable button rectangle"},
      {"[信息]\n选择=1\n[0]\nTopLeft=5,5\nRightBottom=4,9\nfile=" + clip + "\n",
       "title 0: no usable button rectangle"},
      {"[信息]\n选择=1\n[0]\nTopLeft=1,2\nRightBottom=9,9\nfile=/no/such.mpg\n",
       "title 0: cannot read /no/such.mpg"},
  };
  for (const auto& [text, reason] : cases) {
    test::WriteText(temp / "t.ini", text);
    ImageBuilderInput input;
    std::string error;
    EXPECT_FALSE(ReadImageBuilderIni(temp / "t.ini", input, error)) << text;
    EXPECT_EQ(error, reason) << text;
  }
  ImageBuilderInput input;
  std::string error;
  EXPECT_FALSE(ReadImageBuilderIni(temp / "missing.ini", input, error));
}

}  // namespace
}  // namespace vantrel
