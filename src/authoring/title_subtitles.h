// SPDX-License-Identifier: GPL-3.0-or-later
// A title's subtitle tracks on its way to the disc: each track read (a subtitle file in its
// character encoding, or a text stream of the title's own file), drawn into subpictures for
// the title's picture and added as its own subpicture stream, all streams in one pass over
// the title, their colours in one table. The title's file is read, never changed.
#pragma once

#include <string>
#include <vector>

#include "base/tv_standard.h"
#include "project/title_tracks.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_style.h"
#include "subtitles/text_subtitles.h"

namespace vantrel {

struct TitleSubtitleInputs {
  std::string source;      // the title's own file: where a track without a file of its own lies
  std::string vob;         // the title as it goes on the disc (the source or its repair)
  std::string output;      // the title with its subtitle streams
  std::string palette;     // the title's 16 subpicture colours, for dvdauthor (".rgb")
  TvStandard standard = TvStandard::Pal;
  bool wide = false;       // the title's pictures are 16:9
  // The part of the frame the title's pictures fill, bars left out (TitleFrameOf); empty:
  // all of it. A picture subtitle stream covers the source's pictures and goes there too.
  SafeArea film{};
  // Seconds of the source before the title's first picture: cues are timed from the
  // source's start, the title from its first picture.
  double picturesFrom = 0;
};

// A track's language as the disc declares it: its own code, else the tag its stream or
// file carries ("" when neither tells).
struct SubtitleStreamFacts {
  std::string language;  // two-letter DVD code, "" unknown
  std::string name;      // the file name, or "#N" for a stream of the title's file
};

// A track's cues: a stream of the title's file, a stream of another container, or a text
// file in its detected (or chosen) encoding.
TextSubtitles ReadSubtitleTrack(const SubtitleTrack& track, const std::string& source);

// Draws a title's tracks one at a time as the disc gets them: a text track by the title's
// renderer, a picture stream decoded onto the film's area, all timed from the title's first
// picture. Their colours are not yet fitted to the title's table (FitTitlePalette).
class TitleSubtitleDrawer {
 public:
  explicit TitleSubtitleDrawer(const TitleSubtitleInputs& inputs);
  // False with the reason when the track cannot be read or drawn; `tag` is the language
  // its stream or file carries.
  bool Draw(const SubtitleTrack& track, std::vector<Subpicture>* pictures, std::string* tag, std::string* error);
  const SubtitleStyle& Style() const { return style_; }

 private:
  TitleSubtitleInputs inputs_;
  SubtitleStyle style_;
  SubpictureRenderer renderer_;
};

// False with the reason when a track cannot be read or drawn, or the streams cannot be
// added; `facts` tells each stream's language in track order.
bool AddSubtitleStreams(const std::vector<SubtitleTrack>& tracks, const TitleSubtitleInputs& inputs,
                        std::vector<SubtitleStreamFacts>* facts, std::string* error);

// Why a track cannot be used ("" when it can): its file cannot be read or decoded, or its
// stream is missing or holds no text. Cheap enough to ask before any work: a stream of the
// title's file is looked up, not read.
std::string SubtitleTrackProblem(const SubtitleTrack& track, const std::string& source);

// "zh (film.srt), en (#3)" for the event log.
std::string SubtitleListText(const std::vector<SubtitleStreamFacts>& facts);

}  // namespace vantrel
