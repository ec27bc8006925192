// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/title_subtitles.h"

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "base/paths.h"
#include "base/text_format.h"
#include "subtitles/language_code.h"
#include "subtitles/picture_subtitles.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_muxer.h"
#include "subtitles/subtitle_reader.h"

namespace vantrel {
namespace {

// Cues timed from the source's start, moved to the title's: what falls before its first
// picture is cut, not shown at the start.
void MoveToTitleTime(std::vector<Subpicture>& pictures, double picturesFrom) {
  const auto shift = std::int64_t(std::llround(picturesFrom * 1000));
  if (shift <= 0) return;
  std::vector<Subpicture> moved;
  for (Subpicture& picture : pictures) {
    if (picture.endMs <= shift) continue;
    picture.startMs = std::max<std::int64_t>(0, picture.startMs - shift);
    picture.endMs -= shift;
    moved.push_back(std::move(picture));
  }
  pictures = std::move(moved);
}

// The picture subtitle stream a track names (DVD or PGS subtitles of a container); index
// -1 when the track is text or its file cannot be read.
SubtitleStreamInfo PictureStreamOf(const SubtitleTrack& track, const std::string& source) {
  if (track.stream < 0) return {};
  std::vector<SubtitleStreamInfo> streams;
  std::string error;
  if (!ListSubtitleStreams(track.source.empty() ? source : track.source, &streams, &error)) return {};
  for (const SubtitleStreamInfo& stream : streams)
    if (stream.index == track.stream && !stream.text) return stream;
  return {};
}

bool Decodable(const std::string& codec) {
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get_by_name(codec.c_str());
  return descriptor && avcodec_find_decoder(descriptor->id);
}

}  // namespace

TextSubtitles ReadSubtitleTrack(const SubtitleTrack& track, const std::string& source) {
  if (track.source.empty()) return ReadSubtitleStream(source, track.stream);
  // A container named as the track's file gives one of its streams.
  if (track.stream >= 0) return ReadSubtitleStream(track.source, track.stream);
  return ReadSubtitleFile(track.source, track.encoding);
}

TitleSubtitleDrawer::TitleSubtitleDrawer(const TitleSubtitleInputs& inputs)
    : inputs_(inputs), renderer_(SubpictureGeometry::Of(inputs.standard, inputs.wide), style_) {}

bool TitleSubtitleDrawer::Draw(const SubtitleTrack& track, std::vector<Subpicture>* pictures, std::string* tag,
                               std::string* error) {
  pictures->clear();
  tag->clear();
  if (const SubtitleStreamInfo stream = PictureStreamOf(track, inputs_.source); stream.index >= 0) {
    SubpictureGeometry geometry = SubpictureGeometry::Of(inputs_.standard, inputs_.wide);
    geometry.picture = inputs_.film;
    const std::string& file = track.source.empty() ? inputs_.source : track.source;
    if (!ReadPictureSubtitles(file, stream.index, geometry, pictures, error)) return false;
    *tag = stream.language;
  } else {
    const TextSubtitles text = ReadSubtitleTrack(track, inputs_.source);
    if (!text.ok) return *error = text.error, false;
    if (!renderer_.Load(text, error)) return false;
    *pictures = renderer_.RenderAll();
    *tag = text.language;
  }
  MoveToTitleTime(*pictures, inputs_.picturesFrom);
  return true;
}

bool AddSubtitleStreams(const std::vector<SubtitleTrack>& tracks, const TitleSubtitleInputs& inputs,
                        std::vector<SubtitleStreamFacts>* facts, std::string* error) {
  facts->clear();
  TitleSubtitleDrawer drawer(inputs);
  std::vector<std::vector<Subpicture>> pictures(tracks.size());
  for (size_t k = 0; k < tracks.size(); ++k) {
    const SubtitleTrack& track = tracks[k];
    std::string tag;
    if (!drawer.Draw(track, &pictures[k], &tag, error)) return false;
    std::string language = DvdLanguageOf(track.language);
    if (language.empty()) language = DvdLanguageOf(tag);
    const std::string file = FileNameOf(track.source.empty() ? inputs.source : track.source);
    facts->push_back({language, track.stream >= 0 ? Format("%s #%d", file.c_str(), track.stream) : file});
  }
  // The streams share the title's 16 colours; the first tracks choose first.
  std::vector<std::vector<Subpicture>*> all;
  std::vector<SubtitleStreamPictures> streams;
  for (size_t k = 0; k < tracks.size(); ++k) {
    all.push_back(&pictures[k]);
    streams.push_back({int(k), &pictures[k]});
  }
  FitTitlePalette(all, drawer.Style());
  SubtitleMuxInputs mux;
  mux.title = inputs.vob;
  mux.output = inputs.output;
  mux.palette = inputs.palette;
  mux.standard = inputs.standard;
  return MuxSubtitleStreams(streams, mux, error);
}

std::string SubtitleTrackProblem(const SubtitleTrack& track, const std::string& source) {
  if (!track.source.empty() && track.stream < 0) {
    const TextSubtitles text = ReadSubtitleFile(track.source, track.encoding);
    return text.ok ? "" : text.error;
  }
  const std::string& file = track.source.empty() ? source : track.source;
  std::vector<SubtitleStreamInfo> streams;
  std::string error;
  if (!ListSubtitleStreams(file, &streams, &error)) return error;
  for (const SubtitleStreamInfo& stream : streams) {
    if (track.stream >= 0 && stream.index != track.stream) continue;
    // A picture stream is brought into the subpicture's colours, if FFmpeg decodes it.
    if (stream.text || (track.stream >= 0 && Decodable(stream.codec))) return "";
    if (track.stream >= 0)
      return Format("the subtitle stream %d of %s holds pictures (%s) that cannot be decoded", track.stream,
                    file.c_str(), stream.codec.c_str());
  }
  return track.stream >= 0 ? Format("%s has no subtitle stream %d", file.c_str(), track.stream)
                           : file + " has no text subtitle stream";
}

std::string SubtitleListText(const std::vector<SubtitleStreamFacts>& facts) {
  std::string text;
  for (const SubtitleStreamFacts& stream : facts) {
    if (!text.empty()) text += ", ";
    text += (stream.language.empty() ? "--" : stream.language) + " (" + stream.name + ")";
  }
  return text;
}

}  // namespace vantrel
