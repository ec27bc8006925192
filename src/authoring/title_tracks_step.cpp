// SPDX-License-Identifier: GPL-3.0-or-later
// The run's step for what a title carries besides its pictures and first sound: its chapters
// where the user wants them and its subtitle tracks as subpicture streams. It runs once the
// title is made in its final form (and again when it is encoded anew to fit the disc).
#include <cstddef>

#include "authoring/authoring_driver.h"
#include "authoring/chapter_plan.h"
#include "authoring/run_status.h"
#include "authoring/title_harmony.h"
#include "authoring/title_frame.h"
#include "authoring/title_subtitles.h"
#include "authoring/track_bit_rates.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "convert/title_facts.h"
#include "convert/title_sound_tracks.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "subtitles/language_code.h"

namespace vantrel {
namespace {

void Say(RunStatus& status, const std::string& text, int kind = kStatusGreen) {
  status.ShowStatus(text, 0, kStatusLogAndProgress, kind);
}

// A track of the title's own file without a stream named is the sound the title was made
// with (brought in line with the disc): it is taken from the title as made.
SoundTrackSource SourceOf(const SoundTrack& track, const std::string& source, const std::string& vob) {
  SoundTrackSource from;
  from.path = !track.source.empty() ? track.source : track.stream >= 0 ? source : vob;
  from.stream = track.source.empty() && track.stream < 0 ? -1 : track.stream;
  from.offsetSeconds = track.offsetMs / 1000.0;
  return from;
}

// "en ac3 (film.mkv #1), zh ac3 (commentary.wav)" for the event log.
std::string SoundListText(const std::vector<SoundTrack>& tracks, const std::vector<std::string>& languages,
                          const std::vector<SoundTrackFacts>& facts, const std::string& source) {
  std::string text;
  for (std::size_t k = 0; k < tracks.size() && k < facts.size(); ++k) {
    if (!text.empty()) text += ", ";
    const std::string file = FileNameOf(tracks[k].source.empty() ? source : tracks[k].source);
    text += (languages[k].empty() ? "--" : languages[k]) + " " + facts[k].format + " (" + file +
            (tracks[k].stream >= 0 ? Format(" #%d", tracks[k].stream) : "") + ")";
  }
  return text;
}

}  // namespace

std::string AuthoringDriver::TitleTracksProblem(std::size_t i) const {
  if (int(i) >= titles_.Count()) return "";
  const TitleRecord& record = titles_.At(int(i));
  for (const SoundTrack& track : record.SoundTracks)
    if (std::string why = SoundTrackProblem(SourceOf(track, record.SourcePath, record.SourcePath)); !why.empty())
      return why;
  for (const SubtitleTrack& track : record.Subtitles)
    if (std::string why = SubtitleTrackProblem(track, record.SourcePath); !why.empty()) return why;
  return "";
}

std::vector<int> AuthoringDriver::TitleSoundTrackRates(std::size_t i, int soundBitRate,
                                                      const HarmonyPlan& harmony) const {
  if (int(i) >= titles_.Count() || titles_.At(int(i)).SoundTracks.empty()) return {};
  const TitleRecord& record = titles_.At(int(i));
  // The tracks are given the sound format of the title as made: the disc's when the
  // harmony plan converts its sound, else the repair's.
  SoundFormat format = harmony.sound.format;
  if (i >= harmony.soundChanges.size() || !harmony.soundChanges[i])
    format = RepairedTitleFacts(record.SourcePath, settings_.Standard(),
                                i < harmony.targets.size() ? harmony.targets[i].sound : AudioCodec::Ac3)
                 .sound.format;
  return SoundTrackDiscRates(record.SoundTracks, record.SourcePath, format,
                             soundBitRate > 0 ? soundBitRate : kTrackSoundBitRate);
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

  if (i < chapterStarts_.size() && !chapterStarts_[i].empty()) {
    // The chapters the chapter pages were made for.
    tracks.chapters = ChaptersText(chapterStarts_[i]);
    if (record.ChapterMarks.mode != ChapterMode::kDefault)
      Say(status, Format(Tr("标题 %d (%s) 的章节: %s"), int(i) + 1, name.c_str(), tracks.chapters.c_str()));
  } else if (record.ChapterMarks.mode != ChapterMode::kDefault) {
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

  std::string made = vob;
  if (!record.SoundTracks.empty()) {
    std::vector<SoundTrackSource> sources;
    for (const SoundTrack& track : record.SoundTracks) sources.push_back(SourceOf(track, source, vob));
    const std::string output = folders_.intermediate + Format("title%02d_sound.mpg", int(i) + 1);
    std::vector<SoundTrackFacts> facts;
    std::string why;
    if (!MakeTitleSoundTracks(vob, sources, settings_.Standard(), output, &facts, &why))
      return Fail(Format(Tr("无法为标题 %d (%s) 加入声音轨: %s"), int(i) + 1, name.c_str(), why.c_str()), &status);
    for (std::size_t k = 0; k < facts.size(); ++k) {
      std::string language = DvdLanguageOf(record.SoundTracks[k].language);
      tracks.sound.push_back(language.empty() ? DvdLanguageOf(facts[k].languageTag) : language);
    }
    tracks.vob = made = output;
    Say(status, Format(Tr("标题 %d (%s) 的声音: %s"), int(i) + 1, name.c_str(),
                       SoundListText(record.SoundTracks, tracks.sound, facts, source).c_str()));
  }

  if (!record.Subtitles.empty()) {
    TitleSubtitleInputs inputs;
    inputs.source = source;
    inputs.vob = made;
    inputs.output = folders_.intermediate + Format("title%02d_subtitles.mpg", int(i) + 1);
    inputs.palette = folders_.intermediate + Format("title%02d_subtitles.rgb", int(i) + 1);
    inputs.standard = settings_.Standard();
    inputs.wide = ReadTitleFacts(made).displayShape == 3;
    // A picture stream lies on the film, which an encode may have put between bars.
    inputs.film = TitleFrameOf(source, settings_.Standard(),
                               entry.RepairedPath.empty() || i >= titleTargets_.size() ? nullptr : &titleTargets_[i])
                      .film;
    inputs.picturesFrom = picturesFrom;
    std::vector<SubtitleStreamFacts> facts;
    std::string why;
    if (!AddSubtitleStreams(record.Subtitles, inputs, &facts, &why))
      return Fail(Format(Tr("无法为标题 %d (%s) 加入字幕: %s"), int(i) + 1, name.c_str(), why.c_str()), &status);
    // The title with its sound tracks was the way there.
    if (made != vob) DeleteFolderTree(made);
    tracks.vob = inputs.output;
    tracks.palette = inputs.palette;
    for (std::size_t k = 0; k < facts.size(); ++k) {
      tracks.subtitles.push_back(facts[k].language);
      if (record.Subtitles[k].shownByDefault && tracks.shownSubtitle < 0) tracks.shownSubtitle = int(k);
    }
    Say(status, Format(Tr("标题 %d (%s) 的字幕: %s"), int(i) + 1, name.c_str(), SubtitleListText(facts).c_str()));
  }
  return true;
}

}  // namespace vantrel
