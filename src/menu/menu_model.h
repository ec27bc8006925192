// SPDX-License-Identifier: GPL-3.0-or-later
// The DVD menu as data: one entry per title and per navigation button, the titles spread
// over pages of the style's button count, "Next"/"Last" entries between pages, and each
// title entry's thumbnail and caption rectangles for PAL or NTSC.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/rgb_image.h"
#include "menu/layout_style.h"
#include "menu/menu_appearance.h"
#include "menu/menu_choices.h"

namespace vantrel {

struct TitleRecord;
class TitleList;

struct MenuEntry {
  int ThumbnailIndex = -1;
  std::string Caption;
  std::string SourcePath;
  int TitleNumber = 0;  // 1-based; not used by navigation entries
  int Position = 0;     // 1-based place on its page; -1 "Next", -2 "Last", -3 play all, -4 back
  Rect ThumbnailRect;
  Rect CaptionRect;
  std::string RepairedPath;
  // Navigation entries: "jump vmgm menu %d;"; a title entry with a chapter page leads there.
  std::string Command;
  double ClipStart = 0;  // seconds into the title's file where its moving button starts
  // A chapter page's button: its chapter (from 1) of title TitleNumber, and the picture at
  // the chapter's start, which it shows instead of the title's thumbnail.
  int Chapter = 0;
  RgbImage Picture;
};

struct MenuPage {
  int Number = 0;
  std::vector<MenuEntry*> Titles;
  MenuEntry* Previous = nullptr;  // "Last"
  MenuEntry* Next = nullptr;      // "Next"
  MenuEntry* PlayAll = nullptr;   // "全部播放", on the first page when chosen
  // A chapter page: the title whose chapters its buttons are, and the button back to the
  // title's page. 0 and none on a page of titles.
  int ChaptersOf = 0;
  MenuEntry* Back = nullptr;
};

// Where a chapter starts: in the title as the disc plays it, and in the title's file.
struct ChapterStart {
  double seconds = 0;
  double fileSeconds = 0;
};

// The play-all button's command: a register tells the titles to play on, one after the other.
inline constexpr const char* kPlayAllCommand = "g0 = 1; jump title 1;";

// Vertical scale of an NTSC page (720 x 480) against the PAL frame the layouts are made for.
constexpr double kNtscScale = 5.0 / 6.0;
inline double VerticalScale(bool ntsc) { return ntsc ? kNtscScale : 1.0; }

class MenuModel {
 public:
  MenuModel();  // layout.ini of the application folder
  explicit MenuModel(std::string layoutIniPath);

  void SetLayoutIniPath(std::string path) { layoutIniPath_ = std::move(path); }
  void LoadStyle(int styleIndex);
  void Clear();
  void AddTitle(const TitleRecord& record, int listPosition);
  void ApplyGeometry(int styleIndex, bool ntsc);
  // Clear, load the style, add every title in list order, apply the geometry.
  void Rebuild(const TitleList& titles, int styleIndex, bool ntsc);
  // After the titles and their geometry: the chapter pages of title `titleNumber`, as many
  // as its chapters fill, after every page there is; its button on its page then leads to
  // the first of them. Nothing for a title of one chapter.
  void AddChapterPages(int titleNumber, const std::vector<ChapterStart>& chapters);
  // The first chapter page of a title; 0 when it has none.
  int ChapterPageOf(int titleNumber) const;
  // The pages of titles, which come before any chapter page.
  int TitlePageCount() const;

  // The page with that number; the last page when none has it (nullptr without pages).
  MenuPage* FindPage(int number);
  int PageCount() const { return int(pages_.size()); }
  int TitleCount() const { return int(titles_.size()); }
  // Title entries in title-list order.
  const std::vector<std::unique_ptr<MenuEntry>>& Titles() const { return titles_; }
  MenuEntry& Title(int index) { return *titles_[size_t(index)]; }
  const MenuPage& Page(int index) const { return *pages_[size_t(index)]; }
  const LayoutStyle& Style() const { return style_; }
  int AppliedStyleIndex() const { return appliedStyle_; }
  // The look of the pages; kept across rebuilds.
  MenuAppearance& Appearance() { return appearance_; }
  const MenuAppearance& Appearance() const { return appearance_; }
  // What the menu offers besides the title buttons; kept across rebuilds, taken by the
  // next rebuild.
  MenuChoices& Choices() { return choices_; }
  const MenuChoices& Choices() const { return choices_; }

 private:
  MenuEntry* NewNavigation(const char* caption, int position, int targetPage);
  MenuPage& NewPage();

  std::string layoutIniPath_;
  LayoutStyle style_;
  int appliedStyle_ = -1;
  double scale_ = 1;  // the vertical scale the geometry was applied with
  MenuAppearance appearance_;
  MenuChoices choices_;
  std::vector<std::unique_ptr<MenuEntry>> titles_;
  std::vector<std::unique_ptr<MenuEntry>> navigation_;
  std::vector<std::unique_ptr<MenuEntry>> chapters_;
  std::vector<std::unique_ptr<MenuPage>> pages_;
};

}  // namespace vantrel
