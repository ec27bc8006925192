// SPDX-License-Identifier: GPL-3.0-or-later
// The run's step for what a title carries besides its pictures and first sound: its chapters
// where the user wants them and its subtitle tracks as subpicture streams. It runs once the
// title is made in its final form (and again when it is encoded anew to fit the disc).
#include <cstddef>

#include "authoring/authoring_driver.h"
#include "authoring/chapter_plan.h"
#include "authoring/run_status.h"
#include "authoring/title_subtitles.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "convert/title_facts.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "subtitles/language_code.h"

namespace vantrel {
namespace {

void Say(RunStatus& status, const std::string& text, int kind = kStatusGreen) {
  status.ShowStatus(text, 0, kStatusLogAndProgress, kind);
}

}  // namespace

std::string AuthoringDriver::TitleTracksProblem(std::size_t i) const {
  if (int(i) >= titles_.Count()) return "";
  const TitleRecord& record = titles_.At(int(i));
  for (const SubtitleTrack& track : record.Subtitles)
    if (std::string why = SubtitleTrackProblem(track, record.SourcePath); !why.empty()) return why;
  return "";
}

bool AuthoringDriver::AddTitleTracks(std::size_t i, RunStatus& status) {
  if (int(i) >= titles_.Count() || i >= titleTracks_.size()) return true;
  const TitleRecord& record = titles_.At(int(i));
  const MenuEntry& entry = *model_.Titles()[i];
  const std::string& source = entry.SourcePath;
  const std::string vob = entry.RepairedPath.empty() ? source : entry.RepairedPath;
  DvdTitleTracks& tracks = titleTracks_[i];
  tracks = {};
  // A repaired title starts at its source's first picture; times the user gives and the
  // source's own marks count from the source's start.
  const TitleLength length = steps_.titleLength ? steps_.titleLength(vob) : TitleLength{record.Duration, 0};
  const double picturesFrom = vob != source && steps_.titleLength ? steps_.titleLength(source).picturesFrom : 0;
  const std::string name = FileNameOf(source);

  if (record.ChapterMarks.mode != ChapterMode::kDefault) {
    std::vector<double> marks;
    std::string why;
    if (record.ChapterMarks.mode == ChapterMode::kSourceMarks && !ReadSourceChapterMarks(source, &marks, &why))
      return Fail(Format(Tr("无法读取标题 %d (%s) 的章节: %s"), int(i) + 1, name.c_str(), why.c_str()), &status);
    for (double& mark : marks) mark -= picturesFrom;
    ChapterPlan plan = record.ChapterMarks;
    for (double& time : plan.times) time -= picturesFrom;
    tracks.chapters = ChaptersText(ChapterTimes(plan, length.seconds > 0 ? length.seconds : record.Duration, marks));
    Say(status, Format(Tr("标题 %d (%s) 的章节: %s"), int(i) + 1, name.c_str(), tracks.chapters.c_str()));
  }

  if (!record.Subtitles.empty()) {
    TitleSubtitleInputs inputs;
    inputs.source = source;
    inputs.vob = vob;
    inputs.output = folders_.intermediate + Format("title%02d_subtitles.mpg", int(i) + 1);
    inputs.workFolder = folders_.intermediate + Format("subtitles%02d", int(i) + 1);
    inputs.spumux = folders_.tool + "/spumux";
    inputs.standard = settings_.Standard();
    inputs.wide = ReadTitleFacts(vob).displayShape == 3;
    inputs.picturesFrom = picturesFrom;
    std::vector<SubtitleStreamFacts> facts;
    std::string why;
    if (!AddSubtitleStreams(record.Subtitles, inputs, &facts, &why))
      return Fail(Format(Tr("无法为标题 %d (%s) 加入字幕: %s"), int(i) + 1, name.c_str(), why.c_str()), &status);
    tracks.vob = inputs.output;
    for (std::size_t k = 0; k < facts.size(); ++k) {
      tracks.subtitles.push_back(facts[k].language);
      if (record.Subtitles[k].shownByDefault && tracks.shownSubtitle < 0) tracks.shownSubtitle = int(k);
    }
    Say(status, Format(Tr("标题 %d (%s) 的字幕: %s"), int(i) + 1, name.c_str(), SubtitleListText(facts).c_str()));
  }
  return true;
}

}  // namespace vantrel
