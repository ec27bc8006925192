// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/chapter_menus.h"

#include "authoring/chapter_plan.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "base/paths.h"
#include "convert/clip_frames.h"
#include "convert/dvd_title_facts.h"
#include "menu/menu_model.h"
#include "project/title_list.h"

namespace vantrel {

bool PlanChapterStarts(const ChapterPlan& plan, const std::string& source, double fileSeconds, double picturesFrom,
                       std::vector<double>& starts, std::string& why) {
  std::vector<double> marks;
  if (plan.mode == ChapterMode::kSourceMarks && !ReadSourceChapterMarks(source, &marks, &why)) return false;
  for (double& mark : marks) mark -= picturesFrom;
  ChapterPlan shifted = plan;
  for (double& time : shifted.times) time -= picturesFrom;
  starts = ChapterTimes(shifted, fileSeconds > 0 ? fileSeconds - picturesFrom : 0, marks);
  return true;
}

bool AddChapterMenus(MenuModel& model, const std::vector<std::vector<double>>& starts,
                     const std::vector<double>& picturesFrom, std::string& why, bool pictures) {
  for (std::size_t i = 0; i < starts.size() && int(i) < model.TitleCount(); ++i) {
    const double from = i < picturesFrom.size() ? picturesFrom[i] : 0;
    std::vector<ChapterStart> chapters;
    for (double t : starts[i]) chapters.push_back({t, t + from});
    model.AddChapterPages(int(i) + 1, chapters);
  }
  if (!pictures) return true;
  for (int p = 0; p < model.PageCount(); ++p) {
    for (MenuEntry* entry : model.Page(p).Titles) {
      if (entry->Chapter == 0) continue;
      const Rect& rect = entry->ThumbnailRect;
      if (rect.width <= 0 || rect.height <= 0) continue;  // a layout without pictures
      ClipFrames clip;
      std::string error;
      const RgbImage* picture = nullptr;
      if (clip.Open(entry->SourcePath, entry->ClipStart, rect.width, rect.height, error))
        picture = clip.At(0, error);
      if (!picture) {
        why = Format(Tr("无法读取标题 %d (%s) 第 %d 章开始的画面: %s"), entry->TitleNumber, entry->SourcePath.c_str(),
                     entry->Chapter, error.c_str());
        return false;
      }
      entry->Picture = *picture;
    }
  }
  return true;
}

bool AddTitleChapterMenus(MenuModel& model, const TitleList& titles, bool pictures, std::string& why,
                          std::vector<std::vector<double>>* planned) {
  std::vector<std::vector<double>> starts(std::size_t(titles.Count()));
  std::vector<double> picturesFrom;
  for (int i = 0; i < titles.Count(); ++i) {
    const TitleRecord& record = titles.At(i);
    const MediaLength length = MediaLengthOf(record.SourcePath);
    picturesFrom.push_back(length.picturesFrom);
    if (!PlanChapterStarts(record.ChapterMarks, record.SourcePath, length.seconds, length.picturesFrom,
                           starts[std::size_t(i)], why)) {
      why = Format(Tr("无法读取标题 %d (%s) 的章节: %s"), i + 1, FileNameOf(record.SourcePath).c_str(), why.c_str());
      return false;
    }
  }
  if (planned) *planned = starts;
  return AddChapterMenus(model, starts, picturesFrom, why, pictures);
}

}  // namespace vantrel
