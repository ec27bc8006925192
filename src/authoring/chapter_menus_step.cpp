// SPDX-License-Identifier: GPL-3.0-or-later
// The run's step for the chapter pages: before any work, every title's chapter starts are
// planned and its chapter pages added to the menu with their pictures, so the pages, the
// disc plan and the disc's titles all count the same chapters.
#include "authoring/authoring_driver.h"
#include "authoring/before_run_checks.h"
#include "authoring/chapter_menus.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel {

bool AuthoringDriver::PlanChapterMenus() {
  chapterStarts_.assign(std::size_t(titles_.Count()), {});
  if (!settings_.createmenu || !model_.Choices().chapterMenus) return true;
  std::vector<double> picturesFrom;
  for (int i = 0; i < titles_.Count() && i < model_.TitleCount(); ++i) {
    const TitleRecord& record = titles_.At(i);
    const TitleLength length = steps_.titleLength ? steps_.titleLength(record.SourcePath) : TitleLength{record.Duration, 0};
    picturesFrom.push_back(length.picturesFrom);
    std::string why;
    if (!PlanChapterStarts(record.ChapterMarks, record.SourcePath, length.seconds > 0 ? length.seconds : record.Duration,
                           length.picturesFrom, chapterStarts_[std::size_t(i)], why))
      return Fail(Format(Tr("无法读取标题 %d (%s) 的章节: %s"), i + 1, FileNameOf(record.SourcePath).c_str(), why.c_str()));
  }
  if (std::string why; !AddChapterMenus(model_, chapterStarts_, picturesFrom, why)) return Fail(why);
  // The chapter pages count among the menu pages a disc may hold.
  if (std::string why = DiscLimitsProblem(model_.TitleCount(), model_.PageCount()); !why.empty()) return Fail(why);
  return true;
}

}  // namespace vantrel
