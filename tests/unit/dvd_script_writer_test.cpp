// SPDX-License-Identifier: GPL-3.0-or-later
// dvd.xml compared character for character.
#include "authoring/dvd_script_writer.h"

#include <gtest/gtest.h>

#include "unit/menu_fixture.h"

namespace vantrel {
namespace {

const std::string kTitlesetMenus = "<menus>\n<pgc>\n<post>jump vmgm menu 1;</post>\n</pgc>\n</menus>\n";

std::string TitlePgc(const std::string& vob, const std::string& post) {
  return "<pgc>\n<vob file=\"" + vob + "\" chapters=\"0,15:00,30:00,45:00,1:00:00\"/>\n<post>" +
         post + "</post>\n</pgc>";
}

TEST(DvdScript, TwoTitlesOnOnePageAsInTheExample) {
  test::MenuFixture menu;
  menu.Build({"D:\\video\\a.mpg", "D:\\video\\b.mpg"});
  DvdScriptInputs inputs{true, TvStandard::Pal, "c:\\vantrel_dvd\\TEMP\\", "C:\\Apps\\"};
  EXPECT_EQ(DvdScriptWriter::Compose(menu.model, inputs),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<dvdauthor>\n"
            "<vmgm>\n"
            "<menus><pgc>\n"
            "<vob file=\"c:\\vantrel_dvd\\TEMP\\menu01.mpg\" pause=\"inf\"/>\n"
            "<button name=\"0\">\n"
            "jump title 1;</button>\n"
            "<button name=\"1\">\n"
            "jump title 2;</button>\n"
            "</pgc>\n"
            "</menus>\n"
            "</vmgm>\n"
            "<titleset>\n"
            "<menus>\n"
            "<pgc>\n"
            "<post>jump vmgm menu 1;</post>\n"
            "</pgc>\n"
            "</menus>\n"
            "<titles>\n"
            "<pgc>\n"
            "<vob file=\"D:\\video\\a.mpg\" chapters=\"0,15:00,30:00,45:00,1:00:00\"/>\n"
            "<post>jump title 2;</post>\n"
            "</pgc><pgc>\n"
            "<vob file=\"D:\\video\\b.mpg\" chapters=\"0,15:00,30:00,45:00,1:00:00\"/>\n"
            "<post>call vmgm menu 1;</post>\n"
            "</pgc></titles>\n"
            "</titleset>\n"
            "</dvdauthor>");
}

TEST(DvdScript, WithoutMenuPlaysAllTitlesInALoop) {
  test::MenuFixture menu;
  menu.Build({"/v/a.mpg", "/v/b.mpg"});
  DvdScriptInputs pal{false, TvStandard::Pal, "/w/TEMP/", "/app/"};
  EXPECT_EQ(DvdScriptWriter::Compose(menu.model, pal),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<dvdauthor>\n<vmgm>\n<menus>"
            "<pgc><vob file=\"/app/bp.mpg\" pause=\"0\"/><post>jump title 1;</post></pgc>"
            "</menus>\n</vmgm>\n<titleset>\n<titles>\n" +
                TitlePgc("/v/a.mpg", "jump title 2;") + TitlePgc("/v/b.mpg", "jump title 1;") +
                "</titles>\n</titleset>\n</dvdauthor>");
  DvdScriptInputs ntsc{false, TvStandard::Ntsc, "/w/TEMP/", "/app/"};
  EXPECT_NE(DvdScriptWriter::Compose(menu.model, ntsc).find("\"/app/bn.mpg\""), std::string::npos);
}

TEST(DvdScript, SingleTitleWithMenu) {
  test::MenuFixture menu;
  menu.Build({"/v/only.mpg"});
  std::string script = DvdScriptWriter::Compose(menu.model, {true, TvStandard::Ntsc, "/w/TEMP/", "/app/"});
  EXPECT_NE(script.find("<menus><pgc>\n<vob file=\"/w/TEMP/menu01.mpg\" pause=\"inf\"/>\n"
                        "<button name=\"0\">\njump title 1;</button>\n</pgc>\n</menus>"),
            std::string::npos);
  EXPECT_NE(script.find("<titleset>\n" + kTitlesetMenus + "<titles>\n" +
                        TitlePgc("/v/only.mpg", "call vmgm menu 1;") + "</titles>"),
            std::string::npos);
}

TEST(DvdScript, PagesInOrderWithPreviousBeforeNext) {
  test::MenuFixture menu;
  menu.Build(13);
  std::string script = DvdScriptWriter::Compose(menu.model, {true, TvStandard::Pal, "/w/TEMP/", "/app/"});
  size_t m1 = script.find("menu01.mpg"), m2 = script.find("menu02.mpg"),
         m3 = script.find("menu03.mpg");
  ASSERT_NE(m3, std::string::npos);
  EXPECT_LT(m1, m2);
  EXPECT_LT(m2, m3);
  std::string page1 = script.substr(m1, m2 - m1);
  std::string page2 = script.substr(m2, m3 - m2);
  std::string page3 = script.substr(m3, script.find("</menus>", m3) - m3);
  EXPECT_EQ(page1.find("name=\"p\""), std::string::npos);
  EXPECT_NE(page1.find("<button name=\"5\">\njump title 6;</button>\n"
                       "<button name=\"n\">\njump vmgm menu 2;</button>\n</pgc>"),
            std::string::npos);
  EXPECT_NE(page2.find("<button name=\"0\">\njump title 7;</button>"), std::string::npos);
  EXPECT_NE(page2.find("<button name=\"p\">\njump vmgm menu 1;</button>\n"
                       "<button name=\"n\">\njump vmgm menu 3;</button>\n</pgc>"),
            std::string::npos);
  EXPECT_NE(page3.find("<button name=\"p\">\njump vmgm menu 2;</button>\n</pgc>"),
            std::string::npos);
  EXPECT_EQ(page3.find("name=\"n\""), std::string::npos);
}

TEST(DvdScript, RepairedTitlesAndAwkwardPaths) {
  test::MenuFixture menu;
  menu.Build({"/v/a.avi", "/v/R&B <live> \"1\".mpg", "/v/中文 'x'.mpg"});
  menu.model.Title(0).RepairedPath = "/w/(TaliroFixedDVD)a.mpg";
  std::string script = DvdScriptWriter::Compose(menu.model, {true, TvStandard::Pal, "/w & co/TEMP/", "/a/"});
  EXPECT_NE(script.find("<vob file=\"/w/(TaliroFixedDVD)a.mpg\""), std::string::npos);
  EXPECT_EQ(script.find("a.avi"), std::string::npos);
  EXPECT_NE(script.find("<vob file=\"/v/R&amp;B &lt;live&gt; &quot;1&quot;.mpg\""),
            std::string::npos);
  EXPECT_NE(script.find("<vob file=\"/v/中文 &apos;x&apos;.mpg\""), std::string::npos);
  EXPECT_NE(script.find("\"/w &amp; co/TEMP/menu01.mpg\""), std::string::npos);
}

TEST(DvdScript, WrittenIntoTheIntermediateFolderWithoutFinalLineEnd) {
  test::MenuFixture menu;
  menu.Build(2);
  DvdScriptInputs inputs{true, TvStandard::Pal, menu.temp.Path() + "/", "/app/"};
  ASSERT_TRUE(DvdScriptWriter::Write(menu.model, inputs));
  std::string written = test::ReadText(menu.temp / "dvd.xml");
  EXPECT_EQ(written, DvdScriptWriter::Compose(menu.model, inputs));
  EXPECT_EQ(written.back(), '>');
  EXPECT_FALSE(DvdScriptWriter::Write(menu.model, {true, TvStandard::Pal, "/proc/none/", "/app/"}));
}

TEST(DvdScript, TheImageBuildersDiscComesFromTheSameWriter) {
  // One menu whose buttons start the titles, each title back to the menu.
  DvdMenuChain menu{"/w & co/FoxImage/menu.mpg", {{"b0", "jump title 1;"}, {"b1", "jump title 2;"}}};
  std::string script = DvdScriptWriter::ComposeWithMenus({menu}, {{"/w/t1.mpg", "call vmgm menu 1;"},
                                                                  {"/w/<t2>.mpg", "call vmgm menu 1;"}});
  EXPECT_EQ(script,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<dvdauthor>\n<vmgm>\n<menus><pgc>\n"
            "<vob file=\"/w &amp; co/FoxImage/menu.mpg\" pause=\"inf\"/>\n"
            "<button name=\"b0\">\njump title 1;</button>\n<button name=\"b1\">\njump title 2;</button>\n"
            "</pgc>\n</menus>\n</vmgm>\n<titleset>\n" + kTitlesetMenus + "<titles>\n" +
            TitlePgc("/w/t1.mpg", "call vmgm menu 1;") + TitlePgc("/w/&lt;t2&gt;.mpg", "call vmgm menu 1;") +
            "</titles>\n</titleset>\n</dvdauthor>");
}

TEST(DvdScript, PlayAllPlaysOnWhileTitleButtonsPlayOneTitleAndReturnToTheirPage) {
  test::MenuFixture menu;
  menu.model.Choices().playAll = true;
  menu.Build(7);
  const std::string script = DvdScriptWriter::Compose(menu.model, {true, TvStandard::Pal, "/w/TEMP/", "/app/"});
  EXPECT_NE(script.find("<button name=\"0\">\ng0 = 0; jump title 1;</button>\n"), std::string::npos);
  EXPECT_NE(script.find("<button name=\"5\">\ng0 = 0; jump title 6;</button>\n"
                        "<button name=\"a\">\ng0 = 1; jump title 1;</button>\n"
                        "<button name=\"n\">\njump vmgm menu 2;</button>\n</pgc>"),
            std::string::npos);
  EXPECT_NE(script.find("<post>if (g0 == 1) jump title 2; call vmgm menu 1;</post>"), std::string::npos);
  EXPECT_NE(script.find("<post>if (g0 == 1) jump title 7; call vmgm menu 1;</post>"), std::string::npos);
  // The last title, on page 2: the play-all run goes back to page 1, the title alone to 2.
  EXPECT_NE(script.find("<post>if (g0 == 1) call vmgm menu 1; call vmgm menu 2;</post>"), std::string::npos);

  // Without menus there is no button to play all with: the titles loop as before.
  const std::string plain = DvdScriptWriter::Compose(menu.model, {false, TvStandard::Pal, "/w/TEMP/", "/app/"});
  EXPECT_EQ(plain.find("g0"), std::string::npos);
}

// A title with subtitles is authored from its file with the streams added, declares their
// languages for the title set, and shows the marked stream from its start; its chapters
// are its own. A title without additions stays exactly as before.
TEST(DvdScript, TitleTracksGoIntoTheTitleAndTheTitleSet) {
  test::MenuFixture menu;
  menu.Build({"/v/a.mpg", "/v/b.mpg"});
  DvdTitleTracks first;
  first.vob = "/w/TEMP/title01_subtitles.mpg";
  first.chapters = "0,0:02.400";
  first.subtitles = {"zh", ""};
  first.shownSubtitle = 1;
  first.palette = "/w/TEMP/title01 & colours.rgb";
  const std::string script =
      DvdScriptWriter::Compose(menu.model, {true, TvStandard::Pal, "/w/TEMP/", "/app/"}, {first, {}});
  EXPECT_NE(script.find("<titles>\n<subpicture lang=\"zh\"/>\n<subpicture/>\n<pgc palette=\"/w/TEMP/title01 &amp; colours.rgb\">\n"
                        "<pre>subtitle = 65;</pre>\n"
                        "<vob file=\"/w/TEMP/title01_subtitles.mpg\" chapters=\"0,0:02.400\"/>\n"),
            std::string::npos)
      << script;
  EXPECT_NE(script.find(TitlePgc("/v/b.mpg", "call vmgm menu 1;")), std::string::npos) << script;
  EXPECT_EQ(DvdScriptWriter::Compose(menu.model, {true, TvStandard::Pal, "/w/TEMP/", "/app/"}, {{}, {}}),
            DvdScriptWriter::Compose(menu.model, {true, TvStandard::Pal, "/w/TEMP/", "/app/"}));
}

// Titles of different layouts go into title sets of their own, in list order. A title's
// jump to the next title inside its set names it by its number in the set; one to a title
// of another set goes through the first menu, which the title tells where to go on (g1).
TEST(DvdScript, LayoutsMakeTitleSetsAndJumpsAcrossThemGoThroughTheFirstMenu) {
  test::MenuFixture menu;
  menu.Build({"/v/a.mpg", "/v/b.mpg", "/v/c.mpg"});
  DvdTitleTracks twoSounds;
  twoSounds.sound = {"ja", "en"};
  twoSounds.subtitles = {"en"};
  for (const bool menus : {true, false}) {
    const std::string script = DvdScriptWriter::Compose(menu.model, {menus, TvStandard::Pal, "/w/TEMP/", "/app/"},
                                                        {twoSounds, twoSounds, {}});
    EXPECT_NE(script.find("<titleset>"), script.rfind("<titleset>")) << script;
    EXPECT_NE(script.find("<titles>\n<audio lang=\"ja\"/>\n<audio lang=\"en\"/>\n<subpicture lang=\"en\"/>\n<pgc>"),
              std::string::npos)
        << script;
    // a to b inside the first set; b to c, the first title of the second set, by way of the menu.
    EXPECT_NE(script.find("<post>jump title 2;</post>"), std::string::npos) << script;
    EXPECT_NE(script.find("<post>{ g1 = 3; call vmgm menu 1; }</post>"), std::string::npos) << script;
    EXPECT_NE(script.find("if (g1 == 3) { g1 = 0; jump title 3; }</pre>"), std::string::npos) << script;
    EXPECT_EQ(script.find("<pre>"), script.rfind("<pre>")) << script;
    // Without a menu the last title starts the first again, in the other set.
    EXPECT_EQ(script.find("{ g1 = 1; call vmgm menu 1; }") != std::string::npos, !menus) << script;
    EXPECT_EQ(script.substr(script.size() - 13), "\n</dvdauthor>");
  }
}

}  // namespace
}  // namespace vantrel
