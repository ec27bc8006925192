// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/project_titles.h"

#include <cstdio>

#include "media/bitmap_file.h"
#include "media/frame_grabber.h"
#include "media/thumbnail_owner.h"
#include "project/title_list.h"
#include "project/title_record.h"

namespace vantrel {
namespace {

// The thumbnail of the frame the project shows, when it is not the one adding grabbed.
void GrabShownFrame(TitleList& titles, int row, double shownAt, ThumbnailOwner& owner) {
  TitleRecord& record = titles.At(row);
  if (shownAt == record.ThumbnailShownAt) return;
  ThumbnailGrabJob job{record.SourcePath, ScratchBitmapPath(row), shownAt, &owner};
  DibImage picture;
  if (RunThumbnailGrab(job) && picture.ReadFile(job.bitmapPath)) {
    record.ImageIndex = titles.Thumbnails().Replace(record.ImageIndex, picture.ToRgbImage());
    titles.SetRowImage(row, record.ImageIndex);
    record.ThumbnailShownAt = shownAt;
  }
  std::remove(job.bitmapPath.c_str());
}

}  // namespace

int AddProjectTitleFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                         const std::vector<ProjectTitle>& wanted, const TitleCheck& check) {
  std::vector<std::string> paths;
  for (const ProjectTitle& title : wanted) paths.push_back(title.source);
  const int first = titles.Count();
  AddTitleFiles(titles, owner, view, paths, check);
  // Refused files left no row: the rows that came are matched to the project's titles in order.
  int row = first;
  for (const ProjectTitle& title : wanted) {
    if (row >= titles.Count()) break;
    TitleRecord& record = titles.At(row);
    if (record.SourcePath != title.source) continue;
    if (title.caption != record.DisplayTitle) {
      record.DisplayTitle = title.caption;
      titles.SetTitleText(row, title.caption);
    }
    GrabShownFrame(titles, row, title.thumbnailShownAt, owner);
    record.ThumbnailTime = title.thumbnailTime;
    record.SoundTracks = title.soundTracks;
    record.Subtitles = title.subtitles;
    record.ChapterMarks = title.chapters;
    ++row;
  }
  return titles.Count() - first;
}

}  // namespace vantrel
