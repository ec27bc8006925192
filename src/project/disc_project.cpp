// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/disc_project.h"

#include <memory>

#include "base/paths.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "project/title_record.h"

namespace vantrel {

DiscProject NewProject(const AppSettings& settings) {
  DiscProject project;
  TakeProjectChoices(project, settings);
  return project;
}

void ApplyProjectChoices(const DiscProject& project, AppSettings& settings) {
  settings.layout = project.menu.layout;
  settings.headline = project.menu.headerLine ? 1 : 0;
  settings.footline = project.menu.footerLine ? 1 : 0;
  settings.resolution = project.disc.resolution;
  settings.zoom = project.disc.shape;
  settings.disccapacity = project.disc.capacity;
  settings.createmenu = project.disc.menu;
}

void TakeProjectChoices(DiscProject& project, const AppSettings& settings) {
  project.menu.layout = settings.layout;
  project.menu.headerLine = settings.headline != 0;
  project.menu.footerLine = settings.footline != 0;
  project.disc.resolution = settings.resolution;
  project.disc.shape = settings.zoom;
  project.disc.capacity = settings.disccapacity;
  project.disc.menu = settings.createmenu;
}

std::vector<ProjectTitle> ProjectTitlesOf(const TitleList& list) {
  std::vector<ProjectTitle> titles;
  for (int i = 0; i < list.Count(); ++i) {
    const TitleRecord& record = list.At(i);
    ProjectTitle title;
    title.source = record.SourcePath;
    title.caption = record.DisplayTitle;
    title.thumbnailTime = record.ThumbnailTime;
    title.thumbnailShownAt = record.ThumbnailShownAt;
    title.soundTracks = record.SoundTracks;
    title.subtitles = record.Subtitles;
    title.chapters = record.ChapterMarks;
    title.media.duration = record.Duration;
    title.media.frameRate = record.FrameRate;
    title.media.resolutionText = record.ResolutionText;
    title.media.thumbnail = list.Thumbnails().At(record.ImageIndex);
    titles.push_back(std::move(title));
  }
  return titles;
}

DiscProject ProjectOf(const TitleList& titles, const AppSettings& settings, const MenuAppearance& look) {
  DiscProject project = NewProject(settings);
  project.titles = ProjectTitlesOf(titles);
  project.menu.look = look;
  return project;
}

void AppendProjectTitles(TitleList& list, const std::vector<ProjectTitle>& titles) {
  for (const ProjectTitle& title : titles) {
    auto record = std::make_unique<TitleRecord>();
    record->SourcePath = title.source;
    record->DisplayTitle = title.caption;
    record->ThumbnailTime = title.thumbnailTime;
    record->ThumbnailShownAt = title.thumbnailShownAt;
    record->SoundTracks = title.soundTracks;
    record->Subtitles = title.subtitles;
    record->ChapterMarks = title.chapters;
    record->Duration = title.media.duration;
    record->FrameRate = title.media.frameRate;
    record->FrameRateText = title.media.frameRate > 0 ? FrameRateText(title.media.frameRate) : "";
    record->ResolutionText = title.media.resolutionText;
    // A title without a thumbnail yet draws an empty one, as a failed grab does.
    const int image = list.Thumbnails().Add(title.media.thumbnail.Empty()
                                                ? RgbImage(ThumbnailImageList::kWidth, ThumbnailImageList::kHeight)
                                                : title.media.thumbnail);
    list.AppendTitle(std::move(record), image);
    // The list shows the file name until a caption is edited; a caption that differs
    // from the file's stem was edited.
    if (title.caption != StemOf(title.source)) list.SetTitleText(list.Count() - 1, title.caption);
  }
}

}  // namespace vantrel
