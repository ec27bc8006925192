// SPDX-License-Identifier: GPL-3.0-or-later
// Where every button of the disc and every title's end should lead, as the menu design
// means it: worked out from the menu model's pages and titles, never from the script the
// authoring tool was given, so a script that sends a button elsewhere is caught when the
// built disc is walked (navigation_proof.h).
#pragma once

#include <string>
#include <vector>

namespace vantrel {

class MenuModel;

struct NavigationTarget {
  enum class Kind { kNothing, kTitle, kMenuPage };
  Kind kind = Kind::kNothing;
  int number = 0;   // title number or menu page number, 1-based
  int chapter = 1;  // a title's chapter it starts at

  static NavigationTarget Title(int title, int chapter = 1) { return {Kind::kTitle, title, chapter}; }
  static NavigationTarget Page(int page) { return {Kind::kMenuPage, page, 1}; }
  bool operator==(const NavigationTarget&) const = default;
};

// "标题 2", "标题 2 章节 3", "菜单第 2 页".
std::string DescribeTarget(const NavigationTarget& target);

struct DesignedButton {
  std::string label;  // what the page shows on it: "3. beach", "上一页", "下一页"
  NavigationTarget target;
};

struct NavigationDesign {
  NavigationTarget start;  // what a player shows when the disc comes up
  // The video manager's menu pages in order; each page's buttons in the order a player
  // numbers them (from 1).
  std::vector<std::vector<DesignedButton>> pages;
  // Where the end of each title leads (index: title number - 1).
  std::vector<NavigationTarget> titleEnds;

  int ButtonCount() const;
};

// The design of a disc made from `model` (its pages and geometry applied), with menus or,
// when `createMenu` is off, without.
NavigationDesign DesignedNavigation(const MenuModel& model, bool createMenu);

}  // namespace vantrel
