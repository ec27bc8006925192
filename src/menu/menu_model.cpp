// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/menu_model.h"

#include <cmath>

#include "base/app_folder.h"
#include "base/duration_text.h"
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
  chapters_.clear();
}

MenuPage& MenuModel::NewPage() {
  auto page = std::make_unique<MenuPage>();
  page->Number = int(pages_.size()) + 1;
  pages_.push_back(std::move(page));
  return *pages_.back();
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
    MenuPage* last = k > 0 ? pages_.back().get() : nullptr;
    MenuPage& page = NewPage();
    if (k == 0 && choices_.playAll) {
      // The play-all button takes the first page's free "上一页" place.
      page.PlayAll = NewNavigation("Play all", -3, 0);
      page.PlayAll->Command = kPlayAllCommand;
    }
    if (last) {
      last->Next = NewNavigation("Next", -1, k + 1);
      page.Previous = NewNavigation("Last", -2, k);
    }
  }
  MenuPage& page = *pages_.back();
  page.Titles.push_back(entry);
  entry->Position = int(page.Titles.size());
}

namespace {

Rect Scaled(const Rect& r, double f) { return Rect{r.left, int(r.top * f), r.width, int(r.height * f)}; }

}  // namespace

void MenuModel::ApplyGeometry(int styleIndex, bool ntsc) {
  const double f = VerticalScale(ntsc);
  const int n = style_.Size();
  int j = 0;
  for (auto& entry : titles_) {
    const LayoutSlot& slot = style_.slots[size_t(j)];
    entry->ThumbnailRect = Scaled(slot.thumbnail, f);
    entry->CaptionRect = Scaled(slot.caption, f);
    j = (j + 1) % n;
  }
  // A chapter page is filled from its first slot on.
  for (auto& entry : chapters_) {
    const LayoutSlot& slot = style_.slots[size_t((entry->Position - 1) % n)];
    entry->ThumbnailRect = Scaled(slot.thumbnail, f);
    entry->CaptionRect = Scaled(slot.caption, f);
  }
  appliedStyle_ = styleIndex;
  scale_ = f;
}

void MenuModel::AddChapterPages(int titleNumber, const std::vector<ChapterStart>& chapters) {
  if (chapters.size() < 2 || titleNumber < 1 || titleNumber > TitleCount()) return;
  MenuEntry& title = *titles_[size_t(titleNumber - 1)];
  int titlePage = 1;
  for (const auto& page : pages_)
    for (const MenuEntry* entry : page->Titles)
      if (entry == &title) titlePage = page->Number;
  const int n = style_.Size();
  const int first = PageCount() + 1;
  MenuPage* page = nullptr;
  for (std::size_t c = 0; c < chapters.size(); ++c) {
    if (!page || int(page->Titles.size()) >= n) {
      MenuPage* last = page;
      page = &NewPage();
      page->ChaptersOf = titleNumber;
      page->Back = NewNavigation("Back", -4, titlePage);
      if (last) {
        last->Next = NewNavigation("Next", -1, page->Number);
        page->Previous = NewNavigation("Last", -2, last->Number);
      }
    }
    auto entry = std::make_unique<MenuEntry>();
    entry->TitleNumber = titleNumber;
    entry->Chapter = int(c) + 1;
    entry->ThumbnailIndex = title.ThumbnailIndex;  // shown while the chapter has no picture
    entry->Caption = DurationText(std::floor(chapters[c].seconds + 0.5));  // 2.995 s reads as 3
    entry->SourcePath = title.SourcePath;
    entry->ClipStart = chapters[c].fileSeconds;
    entry->Command = Format("jump title %d chapter %d;", titleNumber, entry->Chapter);
    entry->Position = int(page->Titles.size()) + 1;
    const LayoutSlot& slot = style_.slots[size_t(entry->Position - 1)];
    entry->ThumbnailRect = Scaled(slot.thumbnail, scale_);
    entry->CaptionRect = Scaled(slot.caption, scale_);
    page->Titles.push_back(entry.get());
    chapters_.push_back(std::move(entry));
  }
  title.Command = Format("jump vmgm menu %d;", first);
}

int MenuModel::ChapterPageOf(int titleNumber) const {
  for (const auto& page : pages_)
    if (page->ChaptersOf == titleNumber && titleNumber > 0) return page->Number;
  return 0;
}

int MenuModel::TitlePageCount() const {
  int count = 0;
  for (const auto& page : pages_) count += page->ChaptersOf == 0;
  return count;
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
