// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/navigation_design.h"

#include "base/text_format.h"
#include "base/translation.h"
#include "menu/menu_model.h"

namespace vantrel {

std::string DescribeTarget(const NavigationTarget& target) {
  switch (target.kind) {
    case NavigationTarget::Kind::kTitle:
      return target.chapter > 1 ? Format(Tr("标题 %d 章节 %d"), target.number, target.chapter)
                                : Format(Tr("标题 %d"), target.number);
    case NavigationTarget::Kind::kMenuPage:
      return Format(Tr("菜单第 %d 页"), target.number);
    case NavigationTarget::Kind::kNothing:
      break;
  }
  return Tr("无处");
}

namespace {

// The page that shows a title's button.
int TitlePageOf(const MenuModel& model, int title) {
  for (int i = 0; i < model.PageCount(); ++i)
    for (const MenuEntry* entry : model.Page(i).Titles)
      if (entry->Chapter == 0 && entry->TitleNumber == title) return model.Page(i).Number;
  return 1;
}

}  // namespace

int NavigationDesign::ButtonCount() const {
  int count = 0;
  for (const auto& page : pages) count += int(page.size());
  return count;
}

NavigationDesign DesignedNavigation(const MenuModel& model, bool createMenu) {
  NavigationDesign design;
  const int titles = model.TitleCount();
  design.start = createMenu ? NavigationTarget::Page(1) : NavigationTarget::Title(1);
  const bool playAll = createMenu && model.PageCount() > 0 && model.Page(0).PlayAll;
  std::vector<int> pageOfTitle(std::size_t(titles) + 1, 1);
  if (createMenu) {
    for (int i = 0; i < model.PageCount(); ++i) {
      const MenuPage& page = model.Page(i);
      std::vector<DesignedButton> buttons;
      // Each title button plays its own title, or opens its chapter page when it has one;
      // each chapter button plays its title from that chapter: whatever command text the
      // entry carries.
      for (const MenuEntry* entry : page.Titles) {
        if (entry->Chapter > 0) {
          buttons.push_back({Format("%d. ", entry->Chapter) + entry->Caption,
                             NavigationTarget::Title(entry->TitleNumber, entry->Chapter), {}});
          continue;
        }
        const int chapters = model.ChapterPageOf(entry->TitleNumber);
        buttons.push_back({Format("%d. ", entry->TitleNumber) + entry->Caption,
                           chapters > 0 ? NavigationTarget::Page(chapters) : NavigationTarget::Title(entry->TitleNumber),
                           {}});
        pageOfTitle[std::size_t(entry->TitleNumber)] = page.Number;
      }
      if (page.PlayAll) {
        // Every title in order, then back to the page of the button.
        DesignedButton all{Tr("全部播放"), NavigationTarget::Title(1), {}};
        for (int n = 2; n <= titles; ++n) all.sequel.push_back(NavigationTarget::Title(n));
        all.sequel.push_back(NavigationTarget::Page(page.Number));
        buttons.push_back(std::move(all));
      }
      if (page.Previous) buttons.push_back({Tr("上一页"), NavigationTarget::Page(page.Number - 1), {}});
      if (page.Back)
        buttons.push_back({Tr("返回"), NavigationTarget::Page(TitlePageOf(model, page.ChaptersOf)), {}});
      if (page.Next) buttons.push_back({Tr("下一页"), NavigationTarget::Page(page.Number + 1), {}});
      design.pages.push_back(std::move(buttons));
    }
  }
  // A title played alone beside a play-all button returns to its own page.
  if (playAll) {
    for (int n = 1; n <= titles; ++n) design.titleEnds.push_back(NavigationTarget::Page(pageOfTitle[std::size_t(n)]));
    return design;
  }
  // Titles play on one after the other; after the last the disc returns to its first menu
  // page, or without menus starts over.
  for (int n = 1; n <= titles; ++n)
    design.titleEnds.push_back(n < titles ? NavigationTarget::Title(n + 1)
                                          : createMenu ? NavigationTarget::Page(1) : NavigationTarget::Title(1));
  return design;
}

}  // namespace vantrel
