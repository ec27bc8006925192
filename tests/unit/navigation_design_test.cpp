// SPDX-License-Identifier: GPL-3.0-or-later
// Where the design says each button and each title's end leads.
#include "authoring/navigation_design.h"

#include <gtest/gtest.h>

#include "unit/menu_fixture.h"

namespace vantrel {
namespace {

using Target = NavigationTarget;

TEST(NavigationDesign, PagesButtonsAndTitleEndsOfThirteenTitles) {
  test::MenuFixture menu;
  menu.Build(13);
  // A command text on an entry does not change what the design means its button to do.
  menu.model.Title(0).Command = "jump title 9;";
  const NavigationDesign design = DesignedNavigation(menu.model, true);
  EXPECT_EQ(design.start, Target::Page(1));
  ASSERT_EQ(design.pages.size(), 3u);
  ASSERT_EQ(design.pages[0].size(), 7u);  // six titles and "下一页"
  EXPECT_EQ(design.pages[0][0].label, "1. t1");
  EXPECT_EQ(design.pages[0][0].target, Target::Title(1));
  EXPECT_EQ(design.pages[0][6].label, "下一页");
  EXPECT_EQ(design.pages[0][6].target, Target::Page(2));
  ASSERT_EQ(design.pages[1].size(), 8u);  // "上一页" before "下一页"
  EXPECT_EQ(design.pages[1][0].target, Target::Title(7));
  EXPECT_EQ(design.pages[1][6].target, Target::Page(1));
  EXPECT_EQ(design.pages[1][7].target, Target::Page(3));
  ASSERT_EQ(design.pages[2].size(), 2u);
  EXPECT_EQ(design.pages[2][1].target, Target::Page(2));
  EXPECT_EQ(design.ButtonCount(), 17);
  ASSERT_EQ(design.titleEnds.size(), 13u);
  EXPECT_EQ(design.titleEnds[0], Target::Title(2));
  EXPECT_EQ(design.titleEnds[12], Target::Page(1));

  const NavigationDesign plain = DesignedNavigation(menu.model, false);
  EXPECT_EQ(plain.start, Target::Title(1));
  EXPECT_TRUE(plain.pages.empty());
  EXPECT_EQ(plain.titleEnds[12], Target::Title(1));

  EXPECT_EQ(DescribeTarget(Target::Title(3)), "标题 3");
  EXPECT_EQ(DescribeTarget(Target::Title(3, 2)), "标题 3 章节 2");
  EXPECT_EQ(DescribeTarget(Target::Page(2)), "菜单第 2 页");
}

}  // namespace
}  // namespace vantrel
