// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sound_tracks_page_logic.h"

#include <utility>

#include "app/track_choices.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "convert/title_sound_tracks.h"
#include "subtitles/language_code.h"

namespace vantrel::app {

using namespace sound_page_texts;

SoundTracksPageLogic::SoundTracksPageLogic(const TitleRecord& title, std::vector<SoundStreamInfo> sourceStreams)
    : streams_(std::move(sourceStreams)), tracks_(title.SoundTracks), titleHadNone_(title.SoundTracks.empty()) {
  // A title without a list of its own carries its file's streams: those are shown.
  if (titleHadNone_)
    for (const SoundStreamInfo& stream : streams_) tracks_.push_back({"", stream.index, DvdLanguageOf(stream.language), 0});
  asLoaded_ = tracks_;
}

std::string SoundTracksPageLogic::StreamName(size_t stream) const {
  const SoundStreamInfo& s = streams_.at(stream);
  return Format(Tr(kSourceStream), s.index, s.codec.c_str(), s.channels);
}

std::string SoundTracksPageLogic::RowName(size_t row) const {
  const SoundTrack& track = tracks_.at(row);
  if (!track.source.empty()) return FileNameOf(track.source) + (track.stream >= 0 ? Format(" #%d", track.stream) : "");
  for (size_t i = 0; i < streams_.size(); ++i)
    if (streams_[i].index == track.stream || (track.stream < 0 && i == 0)) return StreamName(i);
  return Format(Tr(kSourceStream), track.stream, "?", 0);
}

std::string SoundTracksPageLogic::RowLanguage(size_t row) const { return LanguageLabel(tracks_.at(row).language); }

std::string SoundTracksPageLogic::RowOffset(size_t row) const {
  return HasOffset(row) ? std::to_string(tracks_[row].offsetMs) : "";
}

std::string SoundTracksPageLogic::CountText() const { return Format(Tr(kCount), int(tracks_.size()), int(kMaxTracks)); }

std::string SoundTracksPageLogic::AddSourceStream(size_t stream) {
  if (!CanAdd()) return Format(Tr(kFull), int(kMaxTracks));
  const SoundStreamInfo& s = streams_.at(stream);
  tracks_.push_back({"", s.index, DvdLanguageOf(s.language), 0});
  return "";
}

std::string SoundTracksPageLogic::AddFile(const std::string& path) {
  if (!CanAdd()) return Format(Tr(kFull), int(kMaxTracks));
  if (std::string why = SoundTrackProblem({path, -1, 0}); !why.empty()) return Format(Tr(kUnusable), why.c_str());
  // The file's own tag names the language when it has one.
  std::vector<SoundStreamInfo> streams;
  std::string error;
  std::string language;
  if (ListSoundStreams(path, &streams, &error) && !streams.empty()) language = DvdLanguageOf(streams[0].language);
  tracks_.push_back({path, -1, language, 0});
  return "";
}

void SoundTracksPageLogic::Remove(size_t row) {
  if (row < tracks_.size()) tracks_.erase(tracks_.begin() + long(row));
}

bool SoundTracksPageLogic::MoveUp(size_t row) {
  if (row == 0 || row >= tracks_.size()) return false;
  std::swap(tracks_[row - 1], tracks_[row]);
  return true;
}

bool SoundTracksPageLogic::MoveDown(size_t row) { return row + 1 < tracks_.size() && MoveUp(row + 1); }

void SoundTracksPageLogic::SetLanguage(size_t row, const std::string& code) {
  if (row < tracks_.size()) tracks_[row].language = DvdLanguageOf(code);
}

void SoundTracksPageLogic::SetOffset(size_t row, int milliseconds) {
  if (HasOffset(row)) tracks_[row].offsetMs = milliseconds;
}

void SoundTracksPageLogic::Apply(TitleRecord& title) const {
  if (titleHadNone_ && tracks_ == asLoaded_) return;
  title.SoundTracks = tracks_;
}

}  // namespace vantrel::app
