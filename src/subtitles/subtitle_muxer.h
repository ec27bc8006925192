// SPDX-License-Identifier: GPL-3.0-or-later
// Puts a rendered subtitle track into a title's MPEG-2 program stream: the subpictures are
// written as pictures with the multiplexer's script beside them, and `spumux` adds them as
// one subpicture stream. The title is read, never changed; the result appears whole or
// not at all.
#pragma once

#include <string>
#include <vector>

#include "base/tv_standard.h"
#include "subtitles/subpicture_renderer.h"

namespace vantrel {

struct SubtitleMuxInputs {
  std::string title;       // the MPEG-2 program stream to add the subtitles to
  std::string output;      // the stream with subtitles; may not be `title`
  std::string workFolder;  // the pictures, the script and spumux's messages go here
  int stream = 0;          // subpicture stream number, 0 to 31
  TvStandard standard = TvStandard::Pal;
  std::string spumux = "spumux";  // the tool, by path or on PATH
};

// A stream's subpictures may use 16 colours in all. Pictures of colours beyond the 15
// (besides transparent) the track already has take the style's fill and outline instead.
void FitStreamPalette(std::vector<Subpicture>* pictures, const SubtitleStyle& style);

// The multiplexer's script for the pictures, named `pictureNames` (same order).
std::string SpumuxSubtitleScript(const std::vector<Subpicture>& pictures,
                                 const std::vector<std::string>& pictureNames, TvStandard standard);

// False with the reason (the tool's last lines among it) when the stream cannot be made.
// A cancelled job stops the tool and leaves no output.
bool MuxSubtitles(const std::vector<Subpicture>& pictures, const SubtitleMuxInputs& inputs, std::string* error);

// Several subpicture streams of one title in one pass over it (inputs.stream is not used).
struct SubtitleStreamPictures {
  int stream = 0;  // 0 to 31, each once
  const std::vector<Subpicture>* pictures = nullptr;
};
bool MuxSubtitleStreams(const std::vector<SubtitleStreamPictures>& streams, const SubtitleMuxInputs& inputs,
                        std::string* error);

// The title set's declaration of a subtitle stream in dvd.xml.
std::string SubpictureElement(const std::string& language);

}  // namespace vantrel
