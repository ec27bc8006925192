// SPDX-License-Identifier: GPL-3.0-or-later
// The menu model: pages, navigation entries and PAL/NTSC geometry.
#include "menu/menu_model.h"

#include <gtest/gtest.h>

#include "project/title_list.h"
#include "support/temp_folder.h"
#include "unit/menu_fixture.h"

namespace vantrel {
namespace {

class MenuModelTest : public ::testing::Test {
 protected:
  void AddTitles(int count) { fixture_.Build(count); }
  test::MenuFixture fixture_;
  TitleList& titles_ = fixture_.titles;
  MenuModel& model_ = fixture_.model;
  test::TempFolder& temp_ = fixture_.temp;
};

TEST_F(MenuModelTest, ThirteenTitlesOnThreePagesWithNavigation) {
  AddTitles(13);
  model_.Rebuild(titles_, 0, false);
  ASSERT_EQ(model_.PageCount(), 3);
  ASSERT_EQ(model_.TitleCount(), 13);
  const MenuPage& p1 = model_.Page(0);
  const MenuPage& p2 = model_.Page(1);
  const MenuPage& p3 = model_.Page(2);
  EXPECT_EQ(p1.Titles.size(), 6u);
  EXPECT_EQ(p2.Titles.size(), 6u);
  EXPECT_EQ(p3.Titles.size(), 1u);
  EXPECT_EQ(p1.Previous, nullptr);
  ASSERT_NE(p1.Next, nullptr);
  EXPECT_EQ(p1.Next->Command, "jump vmgm menu 2;");
  EXPECT_EQ(p1.Next->Caption, "Next");
  EXPECT_EQ(p1.Next->Position, -1);
  ASSERT_TRUE(p2.Previous && p2.Next);
  EXPECT_EQ(p2.Previous->Command, "jump vmgm menu 1;");
  EXPECT_EQ(p2.Previous->Caption, "Last");
  EXPECT_EQ(p2.Previous->Position, -2);
  EXPECT_EQ(p2.Next->Command, "jump vmgm menu 3;");
  ASSERT_NE(p3.Previous, nullptr);
  EXPECT_EQ(p3.Previous->Command, "jump vmgm menu 2;");
  EXPECT_EQ(p3.Next, nullptr);

  const MenuEntry& t13 = *p3.Titles[0];
  EXPECT_EQ(t13.TitleNumber, 13);
  EXPECT_EQ(t13.Position, 1);
  EXPECT_EQ(t13.ThumbnailRect, model_.Title(0).ThumbnailRect);  // slot 0 again
  EXPECT_EQ(t13.CaptionRect, (Rect{11, 171, 150, 30}));
  EXPECT_EQ(p2.Titles[5]->Position, 6);
  EXPECT_EQ(p2.Titles[5]->ThumbnailRect, (Rect{60, 100, 80, 60}));
  EXPECT_EQ(model_.Title(6).Caption, "t7");
  EXPECT_EQ(model_.Title(6).SourcePath, "/v/t7.mpg");
  EXPECT_EQ(model_.Title(6).ThumbnailIndex, 6);
  EXPECT_EQ(model_.FindPage(2), &p2);
  EXPECT_EQ(model_.FindPage(99), &p3);  // unknown numbers give the last page
  EXPECT_EQ(model_.AppliedStyleIndex(), 0);
}

TEST_F(MenuModelTest, ExactlyOnePageHasNoNavigation) {
  AddTitles(6);
  model_.Rebuild(titles_, 0, false);
  ASSERT_EQ(model_.PageCount(), 1);
  EXPECT_EQ(model_.Page(0).Next, nullptr);
  EXPECT_EQ(model_.Page(0).Previous, nullptr);
  MenuModel empty(temp_ / "layout.ini");
  EXPECT_EQ(empty.FindPage(1), nullptr);
}

TEST_F(MenuModelTest, NtscScalesEveryVerticalValue) {
  AddTitles(2);
  model_.Rebuild(titles_, 0, true);
  EXPECT_EQ(model_.Title(0).ThumbnailRect, (Rect{10, 83, 80, 50}));  // 100 -> 83, 60 -> 50
  EXPECT_EQ(model_.Title(1).CaptionRect, (Rect{21, 143, 150, 25}));  // 172*5/6 = 143.3
}

TEST_F(MenuModelTest, RebuildFollowsTheListAndForgetsRepairs) {
  AddTitles(3);
  model_.Rebuild(titles_, 0, false);
  model_.Title(2).RepairedPath = "/w/(TaliroFixedDVD)t3.mpg";
  titles_.Select(0);
  titles_.RemoveSelected();
  model_.Rebuild(titles_, 0, false);
  ASSERT_EQ(model_.TitleCount(), 2);
  EXPECT_EQ(model_.Title(0).TitleNumber, 1);
  EXPECT_EQ(model_.Title(0).Caption, "t2");
  EXPECT_EQ(model_.Title(1).TitleNumber, 2);
  EXPECT_EQ(model_.Title(1).Caption, "t3");
  EXPECT_TRUE(model_.Title(1).RepairedPath.empty());
}

TEST_F(MenuModelTest, MissingLayoutGivesDegenerateButUsableModel) {
  model_.SetLayoutIniPath(temp_ / "none.ini");
  AddTitles(7);
  model_.Rebuild(titles_, 1, true);
  EXPECT_EQ(model_.PageCount(), 2);
  EXPECT_EQ(model_.Title(6).ThumbnailRect, Rect{});
}

}  // namespace
}  // namespace vantrel
