// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/project_titles.h"

#include "project/title_list.h"
#include "project/title_record.h"

namespace vantrel {

int AddProjectTitleFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                         const std::vector<ProjectTitle>& wanted, const TitleCheck& check) {
  // Each thumbnail is grabbed at once where the project shows it.
  std::vector<TitleFileRequest> requests;
  for (const ProjectTitle& title : wanted) requests.push_back({title.source, title.thumbnailShownAt});
  const int first = titles.Count();
  AddTitleRequests(titles, owner, view, requests, check);
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
    record.ThumbnailTime = title.thumbnailTime;
    record.SoundTracks = title.soundTracks;
    record.Subtitles = title.subtitles;
    record.ChapterMarks = title.chapters;
    ++row;
  }
  return titles.Count() - first;
}

}  // namespace vantrel
