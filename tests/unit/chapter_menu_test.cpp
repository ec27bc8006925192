// SPDX-License-Identifier: GPL-3.0-or-later
// Chapter pages: how the model lays them out after the pages of titles, and what the
// scripts and the navigation design make of them.
#include <gtest/gtest.h>

#include "authoring/chapter_menus.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/navigation_design.h"
#include "authoring/spumux_script_writer.h"
#include "menu/menu_model.h"
#include "unit/menu_fixture.h"

namespace vantrel {
namespace {

using Target = NavigationTarget;

std::vector<ChapterStart> Chapters(int count, double every) {
  std::vector<ChapterStart> chapters;
  for (int c = 0; c < count; ++c) chapters.push_back({c * every, c * every + 0.5});
  return chapters;
}

// Eight titles on two pages of six; title 2 has 8 chapters (two pages of its own), title 7
// has 3, title 5 only one.
struct ChapterMenu {
  ChapterMenu(bool playAll = false) {
    menu.model.Choices().playAll = playAll;
    menu.Build(8);
    menu.model.AddChapterPages(2, Chapters(8, 59.6));
    menu.model.AddChapterPages(5, Chapters(1, 0));
    menu.model.AddChapterPages(7, Chapters(3, 600));
  }
  test::MenuFixture menu;
  MenuModel& model = menu.model;
};

TEST(ChapterMenu, ChapterPagesFollowThePagesOfTitles) {
  ChapterMenu fixture;
  MenuModel& model = fixture.model;
  ASSERT_EQ(model.PageCount(), 5);
  EXPECT_EQ(model.TitlePageCount(), 2);
  EXPECT_EQ(model.ChapterPageOf(2), 3);
  EXPECT_EQ(model.ChapterPageOf(7), 5);
  EXPECT_EQ(model.ChapterPageOf(5), 0);  // one chapter: no page
  EXPECT_EQ(model.ChapterPageOf(0), 0);

  // The title's button leads to its first chapter page; a title without one plays as before.
  EXPECT_EQ(model.Title(1).Command, "jump vmgm menu 3;");
  EXPECT_EQ(model.Title(6).Command, "jump vmgm menu 5;");
  EXPECT_EQ(model.Title(4).Command, "");

  const MenuPage& first = model.Page(2);
  const MenuPage& second = model.Page(3);
  EXPECT_EQ(first.ChaptersOf, 2);
  ASSERT_EQ(first.Titles.size(), 6u);
  ASSERT_EQ(second.Titles.size(), 2u);
  // Back to page 1, where title 2's button is; the page buttons go between its own pages.
  ASSERT_TRUE(first.Back && second.Back);
  EXPECT_EQ(first.Back->Command, "jump vmgm menu 1;");
  EXPECT_EQ(first.Previous, nullptr);
  ASSERT_NE(first.Next, nullptr);
  EXPECT_EQ(first.Next->Command, "jump vmgm menu 4;");
  ASSERT_NE(second.Previous, nullptr);
  EXPECT_EQ(second.Previous->Command, "jump vmgm menu 3;");
  EXPECT_EQ(second.Next, nullptr);
  EXPECT_EQ(model.Page(4).Back->Command, "jump vmgm menu 2;");  // title 7 is on page 2
  // The pages of titles do not lead on to the chapter pages.
  EXPECT_EQ(model.Page(1).Next, nullptr);

  const MenuEntry& seventh = *second.Titles[0];
  EXPECT_EQ(seventh.TitleNumber, 2);
  EXPECT_EQ(seventh.Chapter, 7);
  EXPECT_EQ(seventh.Position, 1);
  EXPECT_EQ(seventh.Command, "jump title 2 chapter 7;");
  EXPECT_EQ(seventh.Caption, "00:05:58");  // 357.6 s, to the nearest second
  EXPECT_EQ(seventh.ClipStart, 6 * 59.6 + 0.5);  // the moment in the title's file
  EXPECT_EQ(seventh.SourcePath, "/v/t2.mpg");
  EXPECT_EQ(seventh.ThumbnailRect, model.Title(0).ThumbnailRect);  // filled from slot 1
  EXPECT_EQ(first.Titles[5]->CaptionRect, (Rect{61, 176, 150, 30}));

  // NTSC geometry reaches the chapter buttons too; a rebuild forgets them.
  model.ApplyGeometry(0, true);
  EXPECT_EQ(seventh.CaptionRect, (Rect{11, 142, 150, 25}));
  model.Rebuild(fixture.menu.titles, 0, false);
  EXPECT_EQ(model.PageCount(), 2);
  EXPECT_EQ(model.ChapterPageOf(2), 0);
}

TEST(ChapterMenu, ScriptsLinkTheButtonsOfAChapterPageAndReachChaptersThroughJumpPads) {
  ChapterMenu fixture(true);
  MenuModel& model = fixture.model;
  // Title 1's chapter 1 is an ordinary first button: it has no left neighbour and names its
  // right one. The way back sits between the page buttons.
  model.AddChapterPages(1, Chapters(2, 5));
  const std::string first = SpumuxScriptWriter::Compose(model.Page(2), "/t/", TvStandard::Pal);
  EXPECT_NE(first.find("<button name=\"5\" x0=\"61\" y0=\"176\" x1=\"211\" y1=\"206\" left=\"4\" right=\"b\"/>"
                       "<button name=\"b\" x0=\"290\" y0=\"480\" x1=\"430\" y1=\"536\" right=\"n\" left=\"5\"/>"
                       "<button name=\"n\" x0=\"500\" y0=\"480\" x1=\"680\" y1=\"536\" left=\"b\"/>"),
            std::string::npos)
      << first;
  const std::string second = SpumuxScriptWriter::Compose(model.Page(3), "/t/", TvStandard::Pal);
  EXPECT_NE(second.find("left=\"0\" right=\"p\"/>"
                        "<button name=\"p\" x0=\"80\" y0=\"480\" x1=\"220\" y1=\"536\" right=\"b\" left=\"1\"/>"
                        "<button name=\"b\" x0=\"290\" y0=\"480\" x1=\"430\" y1=\"536\" left=\"p\"/></spu>"),
            std::string::npos)
      << second;
  const std::string own = SpumuxScriptWriter::Compose(model.Page(5), "/t/", TvStandard::Pal);
  EXPECT_NE(own.find("<button name=\"0\" x0=\"11\" y0=\"170\" x1=\"161\" y1=\"202\" right=\"1\"/>"
                     "<button name=\"1\" x0=\"21\" y0=\"172\" x1=\"171\" y1=\"202\" left=\"0\" right=\"b\"/>"),
            std::string::npos)
      << own;

  const std::string script = DvdScriptWriter::Compose(model, {true, TvStandard::Pal, "/w/TEMP/", "/app/"});
  EXPECT_EQ(script.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<dvdauthor jumppad=\"1\">\n<vmgm>", 0), 0u);
  EXPECT_NE(script.find("<button name=\"1\">\njump vmgm menu 3;</button>\n"), std::string::npos);
  EXPECT_NE(script.find("<button name=\"4\">\ng0 = 0; jump title 5;</button>\n"), std::string::npos);
  // A chapter plays its title alone, as the title's own button does beside 全部播放.
  EXPECT_NE(script.find("<vob file=\"/w/TEMP/menu04.mpg\" pause=\"inf\"/>\n"
                        "<button name=\"0\">\ng0 = 0; jump title 2 chapter 7;</button>\n"
                        "<button name=\"1\">\ng0 = 0; jump title 2 chapter 8;</button>\n"
                        "<button name=\"p\">\njump vmgm menu 3;</button>\n"
                        "<button name=\"b\">\njump vmgm menu 1;</button>\n</pgc>"),
            std::string::npos)
      << script;
  // A title played alone returns to the page of its own button, not to its chapter page.
  EXPECT_NE(script.find("<post>if (g0 == 1) jump title 3; call vmgm menu 1;</post>"), std::string::npos);
  EXPECT_NE(script.find("<post>if (g0 == 1) jump title 8; call vmgm menu 2;</post>"), std::string::npos);

  // Without chapter pages the script keeps its plain head.
  test::MenuFixture plain;
  plain.Build(3);
  EXPECT_EQ(DvdScriptWriter::Compose(plain.model, {true, TvStandard::Pal, "/w/TEMP/", "/app/"}).find("jumppad"),
            std::string::npos);
}

TEST(ChapterMenu, TheDesignSendsTitleButtonsToTheirChaptersAndChapterButtonsIntoTheTitle) {
  ChapterMenu fixture;
  // A command that leads elsewhere does not change the design: it is made from the pages.
  fixture.model.Page(2).Titles[0]->Command = "jump title 2 chapter 2;";
  const NavigationDesign design = DesignedNavigation(fixture.model, true);
  ASSERT_EQ(design.pages.size(), 5u);
  EXPECT_EQ(design.pages[0][1].target, Target::Page(3));
  EXPECT_EQ(design.pages[0][4].target, Target::Title(5));
  EXPECT_EQ(design.pages[1][0].target, Target::Page(5));
  ASSERT_EQ(design.pages[2].size(), 8u);  // six chapters, back, next
  EXPECT_EQ(design.pages[2][0].label, "1. 00:00:00");
  EXPECT_EQ(design.pages[2][0].target, Target::Title(2, 1));
  EXPECT_EQ(design.pages[2][5].target, Target::Title(2, 6));
  EXPECT_EQ(design.pages[2][6].label, "返回");
  EXPECT_EQ(design.pages[2][6].target, Target::Page(1));
  EXPECT_EQ(design.pages[2][7].target, Target::Page(4));
  ASSERT_EQ(design.pages[3].size(), 4u);  // two chapters, previous, back
  EXPECT_EQ(design.pages[3][1].target, Target::Title(2, 8));
  EXPECT_EQ(design.pages[3][2].target, Target::Page(3));
  EXPECT_EQ(design.pages[3][3].target, Target::Page(1));
  EXPECT_EQ(design.pages[4][3].target, Target::Page(2));
  EXPECT_EQ(design.ButtonCount(), 7 + 3 + 8 + 4 + 4);
  // Titles still end as they did: on to the next title.
  EXPECT_EQ(design.titleEnds[1], Target::Title(3));
}

TEST(ChapterMenu, ChapterStartsCountFromTheFirstPictureAndStopBeforeTheEnd) {
  ChapterPlan plan;
  plan.mode = ChapterMode::kTimes;
  plan.times = {3, 6, 8.6};
  std::vector<double> starts;
  std::string why;
  // The first picture comes 0.4 s into the file: the chapters move with it, and the one
  // within a second of the end goes.
  ASSERT_TRUE(PlanChapterStarts(plan, "/nowhere.mpg", 9.4, 0.4, starts, why));
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_DOUBLE_EQ(starts[1], 2.6);
  EXPECT_DOUBLE_EQ(starts[2], 5.6);
  // The default marks of a 40-minute title.
  ASSERT_TRUE(PlanChapterStarts(ChapterPlan{}, "/nowhere.mpg", 2400, 0, starts, why));
  EXPECT_EQ(starts, (std::vector<double>{0, 900, 1800}));
  // A file whose own marks cannot be read says so.
  plan.mode = ChapterMode::kSourceMarks;
  EXPECT_FALSE(PlanChapterStarts(plan, "/nowhere.mpg", 10, 0, starts, why));
  EXPECT_NE(why.find("/nowhere.mpg"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
