// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/subtitles_page_logic.h"

#include <algorithm>
#include <utility>

#include "app/track_choices.h"
#include "authoring/cue_preview.h"
#include "authoring/title_subtitles.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "subtitles/language_code.h"

namespace vantrel::app {

using namespace subtitle_page_texts;

SubtitlesPageLogic::SubtitlesPageLogic(const TitleRecord& title, const std::vector<SubtitleStreamInfo>& sourceStreams)
    : source_(title.SourcePath), streams_(sourceStreams), tracks_(title.Subtitles) {}

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

const SubtitlesPageLogic::PictureRead* SubtitlesPageLogic::Pictures(size_t row, TvStandard standard, bool wide) {
  const SubtitleTrack& track = tracks_[row];
  if (track.stream < 0) return nullptr;
  const std::string& file = track.source.empty() ? source_ : track.source;
  std::vector<SubtitleStreamInfo> listed;
  if (file != source_) {
    std::string error;
    ListSubtitleStreams(file, &listed, &error);  // an unreadable file has no picture streams
  }
  const std::vector<SubtitleStreamInfo>& streams = file == source_ ? streams_ : listed;
  const auto stream = std::find_if(streams.begin(), streams.end(),
                                   [&](const SubtitleStreamInfo& s) { return s.index == track.stream; });
  if (stream == streams.end() || stream->text) return nullptr;
  for (const PictureRead& read : pictures_)
    if (read.file == file && read.stream == track.stream && read.standard == standard && read.wide == wide) return &read;
  PictureRead& read = pictures_.emplace_back();
  read.file = file, read.stream = track.stream, read.standard = standard, read.wide = wide;
  read.ok = ReadPictureTrack(file, track.stream, standard, wide, &read.pictures, &read.error);
  return &read;
}

namespace {

std::string CueTime(std::int64_t ms) {
  return Format("%02d:%02d:%02d.%03d", int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000));
}

}  // namespace

std::vector<std::string> SubtitlesPageLogic::CueList(size_t row, TvStandard standard, bool wide) {
  std::vector<std::string> list;
  if (row >= tracks_.size()) return list;
  if (const PictureRead* read = Pictures(row, standard, wide)) {
    for (const Subpicture& shown : read->pictures)
      list.push_back(CueTime(shown.startMs) + "  " + Format(Tr(kPictureCue), shown.bitmap.width, shown.bitmap.height));
    return list;
  }
  for (const SubtitleCue& cue : Text(row).cues) list.push_back(CueTime(cue.startMs) + "  " + CueText(cue));
  return list;
}

bool SubtitlesPageLogic::Preview(size_t row, size_t cue, TvStandard standard, bool wide, RgbImage* picture,
                                 std::string* error) {
  if (row >= tracks_.size()) return *error = "no such track", false;
  if (const PictureRead* read = Pictures(row, standard, wide)) {
    if (!read->ok) return *error = read->error, false;
    return RenderPictureCuePreview(read->pictures, cue, {source_, standard, wide}, picture, error);
  }
  const TextSubtitles& text = Text(row);
  if (!text.ok) return *error = text.error, false;
  return RenderCuePreview(text, cue, {source_, standard, wide}, picture, error);
}

void SubtitlesPageLogic::Apply(TitleRecord& title) const { title.Subtitles = tracks_; }

}  // namespace vantrel::app
