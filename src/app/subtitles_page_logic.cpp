// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/subtitles_page_logic.h"

#include <algorithm>
#include <utility>

#include "app/track_choices.h"
#include "authoring/title_subtitles.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "subtitles/language_code.h"

namespace vantrel::app {

using namespace subtitle_page_texts;

SubtitlesPageLogic::SubtitlesPageLogic(const TitleRecord& title, const std::vector<SubtitleStreamInfo>& sourceStreams)
    : source_(title.SourcePath), streams_(sourceStreams), tracks_(title.Subtitles), list_{title.SourcePath} {}

void SubtitlesPageLogic::SetTitleList(std::vector<std::string> sources, size_t index) {
  if (index >= sources.size() || sources[index] != source_) return;  // not this title's list
  list_ = std::move(sources);
  listIndex_ = index;
  drawn_.reset();
}

std::string SubtitlesPageLogic::StreamName(size_t stream) const {
  const SubtitleStreamInfo& s = streams_.at(stream);
  return Format(Tr(kSourceStream), s.index, s.codec.c_str());
}

std::string SubtitlesPageLogic::RowName(size_t row) const {
  const SubtitleTrack& track = tracks_.at(row);
  if (!track.source.empty()) return FileNameOf(track.source) + (track.stream >= 0 ? Format(" #%d", track.stream) : "");
  for (size_t i = 0; i < streams_.size(); ++i)
    if (streams_[i].index == track.stream || (track.stream < 0 && i == 0)) return StreamName(i);
  return Format(Tr(kSourceStream), track.stream, "?");
}

std::string SubtitlesPageLogic::RowLanguage(size_t row) const { return LanguageLabel(tracks_.at(row).language); }

std::string SubtitlesPageLogic::RowEncoding(size_t row) {
  if (!IsFile(row)) return "";
  return tracks_[row].encoding.empty() ? Format(Tr(kDetected), DetectedEncoding(row).c_str()) : tracks_[row].encoding;
}

std::string SubtitlesPageLogic::RowDefault(size_t row) const { return tracks_.at(row).shownByDefault ? Tr(kYes) : ""; }

std::string SubtitlesPageLogic::CountText() const { return Format(Tr(kCount), int(tracks_.size()), int(kMaxTracks)); }

std::string SubtitlesPageLogic::DetectedEncoding(size_t row) {
  if (!IsFile(row)) return "";
  SubtitleTrack detected = tracks_[row];
  detected.encoding.clear();
  for (const auto& [track, text] : read_)
    if (track == detected) return text.encoding;
  const TextSubtitles text = ReadSubtitleTrack(detected, source_);
  read_.emplace_back(detected, text);
  return text.encoding;
}

const TextSubtitles& SubtitlesPageLogic::Text(size_t row) {
  for (const auto& [track, text] : read_)
    if (track.source == tracks_[row].source && track.stream == tracks_[row].stream &&
        track.encoding == tracks_[row].encoding)
      return text;
  read_.emplace_back(tracks_[row], ReadSubtitleTrack(tracks_[row], source_));
  return read_.back().second;
}

std::string SubtitlesPageLogic::AddFile(const std::string& path) {
  if (!CanAdd()) return Format(Tr(kFull), int(kMaxTracks));
  SubtitleTrack track{path, -1, "", "", false};
  const TextSubtitles text = ReadSubtitleTrack(track, source_);
  if (!text.ok) return Format(Tr(kUnreadable), text.error.c_str());
  track.language = DvdLanguageOf(text.language);
  read_.emplace_back(track, text);
  tracks_.push_back(track);
  return "";
}

std::string SubtitlesPageLogic::AddSourceStream(size_t stream) {
  if (!CanAdd()) return Format(Tr(kFull), int(kMaxTracks));
  const SubtitleStreamInfo& s = streams_.at(stream);
  tracks_.push_back({"", s.index, DvdLanguageOf(s.language), "", false});
  return "";
}

void SubtitlesPageLogic::Remove(size_t row) {
  if (row < tracks_.size()) tracks_.erase(tracks_.begin() + long(row));
}

bool SubtitlesPageLogic::MoveUp(size_t row) {
  if (row == 0 || row >= tracks_.size()) return false;
  std::swap(tracks_[row - 1], tracks_[row]);
  return true;
}

bool SubtitlesPageLogic::MoveDown(size_t row) { return row + 1 < tracks_.size() && MoveUp(row + 1); }

void SubtitlesPageLogic::SetLanguage(size_t row, const std::string& code) {
  if (row < tracks_.size()) tracks_[row].language = DvdLanguageOf(code);
}

void SubtitlesPageLogic::SetShownByDefault(size_t row, bool shown) {
  if (row >= tracks_.size()) return;
  for (SubtitleTrack& track : tracks_) track.shownByDefault = false;
  tracks_[row].shownByDefault = shown;
}

std::string SubtitlesPageLogic::SetEncoding(size_t row, const std::string& encoding) {
  if (!IsFile(row) || tracks_[row].encoding == encoding) return "";
  const std::string before = tracks_[row].encoding;
  tracks_[row].encoding = encoding;
  const TextSubtitles& text = Text(row);
  if (text.ok) return "";
  const std::string why = Format(Tr(kUnreadable), text.error.c_str());
  tracks_[row].encoding = before;
  return why;
}

std::string CueText(const SubtitleCue& cue) {
  // ReadOrder,Layer,Style,Name,MarginL,MarginR,MarginV,Effect,Text: the text follows the
  // eighth comma and may hold commas itself.
  size_t at = 0;
  for (int comma = 0; comma < 8 && at != std::string::npos; ++comma) {
    at = cue.event.find(',', at);
    if (at != std::string::npos) ++at;
  }
  const std::string raw = at == std::string::npos ? cue.event : cue.event.substr(at);
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '{') {  // an override block
      const size_t end = raw.find('}', i);
      if (end == std::string::npos) break;
      i = end;
    } else if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == 'N' || raw[i + 1] == 'n')) {
      text += ' ';
      ++i;
    } else if (raw[i] != '\r' && raw[i] != '\n') {
      text += raw[i];
    }
  }
  return text;
}

bool SubtitlesPageLogic::IsPictureStream(size_t row) const {
  const SubtitleTrack& track = tracks_.at(row);
  if (track.stream < 0) return false;
  const std::string& file = track.source.empty() ? source_ : track.source;
  std::vector<SubtitleStreamInfo> listed;
  if (file != source_) {
    std::string error;
    ListSubtitleStreams(file, &listed, &error);  // an unreadable file has no picture streams
  }
  const std::vector<SubtitleStreamInfo>& streams = file == source_ ? streams_ : listed;
  const auto stream = std::find_if(streams.begin(), streams.end(),
                                   [&](const SubtitleStreamInfo& s) { return s.index == track.stream; });
  return stream != streams.end() && !stream->text;
}

TitleCuePreview& SubtitlesPageLogic::Drawn(const TitleMakingChoices& choices) {
  if (!drawn_ || !(drawnFor_ == choices)) {
    // What the run decides for this title: kept, or encoded with the film between bars.
    const PlannedTitleFrame planned = PlanTitleFrame(list_, listIndex_, choices);
    TitleSubtitleInputs inputs;
    inputs.source = source_;
    inputs.standard = choices.standard;
    inputs.wide = planned.frame.wide;
    inputs.film = planned.frame.film;
    inputs.picturesFrom = planned.picturesFrom;
    drawn_ = std::make_unique<TitleCuePreview>(inputs);
    drawnFor_ = choices;
  }
  return *drawn_;
}

bool SubtitlesPageLogic::Wide(const TitleMakingChoices& choices) { return Drawn(choices).Inputs().wide; }

namespace {

std::string CueTime(std::int64_t ms) {
  return Format("%02d:%02d:%02d.%03d", int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000));
}

}  // namespace

std::vector<std::string> SubtitlesPageLogic::CueList(size_t row, const TitleMakingChoices& choices) {
  std::vector<std::string> list;
  if (row >= tracks_.size()) return list;
  if (IsPictureStream(row)) {
    TitleCuePreview& drawn = Drawn(choices);
    std::string error;
    if (const std::vector<Subpicture>* pictures = drawn.Track(tracks_[row], &error))
      for (const Subpicture& shown : *pictures)
        list.push_back(CueTime(shown.startMs + drawn.PicturesFromMs()) + "  " +
                       Format(Tr(kPictureCue), shown.bitmap.width, shown.bitmap.height));
    return list;
  }
  for (const SubtitleCue& cue : Text(row).cues) list.push_back(CueTime(cue.startMs) + "  " + CueText(cue));
  return list;
}

bool SubtitlesPageLogic::Preview(size_t row, size_t cue, const TitleMakingChoices& choices, RgbImage* picture,
                                 std::string* error) {
  if (row >= tracks_.size()) return *error = "no such track", false;
  TitleCuePreview& drawn = Drawn(choices);
  std::int64_t titleMs = 0;
  if (IsPictureStream(row)) {
    const std::vector<Subpicture>* pictures = drawn.Track(tracks_[row], error);
    if (!pictures) return false;
    if (cue >= pictures->size()) return *error = "the track has no picture " + std::to_string(cue + 1), false;
    titleMs = ((*pictures)[cue].startMs + (*pictures)[cue].endMs) / 2;
  } else {
    const TextSubtitles& text = Text(row);
    if (!text.ok) return *error = text.error, false;
    if (cue >= text.cues.size()) return *error = "the track has no cue " + std::to_string(cue + 1), false;
    titleMs = (text.cues[cue].startMs + text.cues[cue].endMs) / 2 - drawn.PicturesFromMs();
  }
  return drawn.Render(tracks_, row, titleMs, picture, error);
}

void SubtitlesPageLogic::Apply(TitleRecord& title) const { title.Subtitles = tracks_; }

}  // namespace vantrel::app
