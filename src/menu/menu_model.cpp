// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/menu_model.h"

#include "base/app_folder.h"
#include "base/text_format.h"
#include "project/title_list.h"

namespace vantrel {

MenuModel::MenuModel() : MenuModel(ApplicationFolder() + "layout.ini") {}

MenuModel::MenuModel(std::string layoutIniPath) : layoutIniPath_(std::move(layoutIniPath)) {
  style_.slots.resize(LayoutStyle::kFallbackSize);
}

void MenuModel::LoadStyle(int styleIndex) { style_ = LayoutStyle::Load(layoutIniPath_, styleIndex); }

void MenuModel::Clear() {
  pages_.clear();
  titles_.clear();
  navigation_.clear();
}

MenuEntry* MenuModel::NewNavigation(const char* caption, int position, int targetPage) {
  auto entry = std::make_unique<MenuEntry>();
  entry->Caption = caption;
  entry->Position = position;
  entry->Command = Format("jump vmgm menu %d;", targetPage);
  navigation_.push_back(std::move(entry));
  return navigation_.back().get();
}

void MenuModel::AddTitle(const TitleRecord& record, int listPosition) {
  auto owned = std::make_unique<MenuEntry>();
  MenuEntry* entry = owned.get();
  entry->ThumbnailIndex = record.ImageIndex;
  entry->Caption = record.DisplayTitle;
  entry->SourcePath = record.SourcePath;
  entry->ClipStart = record.ThumbnailShownAt;
  entry->TitleNumber = listPosition + 1;
  titles_.push_back(std::move(owned));

  const int capacity = style_.Size();
  if (pages_.empty() || int(pages_.back()->Titles.size()) >= capacity) {
    const int k = int(pages_.size());
    auto page = std::make_unique<MenuPage>();
    page->Number = k + 1;
    if (k == 0 && choices_.playAll) {
      // The play-all button takes the first page's free "上一页" place.
      page->PlayAll = NewNavigation("Play all", -3, 0);
      page->PlayAll->Command = kPlayAllCommand;
    }
    if (k > 0) {
      pages_.back()->Next = NewNavigation("Next", -1, k + 1);
      page->Previous = NewNavigation("Last", -2, k);
    }
    pages_.push_back(std::move(page));
  }
  MenuPage& page = *pages_.back();
  page.Titles.push_back(entry);
  entry->Position = int(page.Titles.size());
}

void MenuModel::ApplyGeometry(int styleIndex, bool ntsc) {
  const double f = VerticalScale(ntsc);
  const int n = style_.Size();
  auto scale = [f](const Rect& r) {
    return Rect{r.left, int(r.top * f), r.width, int(r.height * f)};
  };
  int j = 0;
  for (auto& entry : titles_) {
    const LayoutSlot& slot = style_.slots[size_t(j)];
    entry->ThumbnailRect = scale(slot.thumbnail);
    entry->CaptionRect = scale(slot.caption);
    j = (j + 1) % n;
  }
  appliedStyle_ = styleIndex;
}

void MenuModel::Rebuild(const TitleList& titles, int styleIndex, bool ntsc) {
  Clear();
  LoadStyle(styleIndex);
  for (int i = 0; i < titles.Count(); ++i) AddTitle(titles.At(i), i);
  ApplyGeometry(styleIndex, ntsc);
}

MenuPage* MenuModel::FindPage(int number) {
  if (pages_.empty()) return nullptr;
  for (auto& page : pages_)
    if (page->Number == number) return page.get();
  return pages_.back().get();
}

}  // namespace vantrel
