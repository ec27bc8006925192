// SPDX-License-Identifier: GPL-3.0-or-later
// Puts a title's rendered subtitle tracks into its MPEG-2 program stream, one subpicture
// stream per track, all in one pass over the title, and writes the title's 16 colours
// where the disc's program chain takes them from. The title is read, never changed; the
// result appears whole or not at all.
#pragma once

#include <string>
#include <vector>

#include "base/tv_standard.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subpicture_stream_writer.h"

namespace vantrel {

struct SubtitleMuxInputs {
  std::string title;    // the MPEG-2 program stream to add the subtitles to
  std::string output;   // the stream with subtitles; may not be `title`
  std::string palette;  // where the title's colours go for dvdauthor (a ".rgb" file); "" not written
  TvStandard standard = TvStandard::Pal;
};

// All subpicture streams of a title share 16 colours. The style's fill, outline and the
// shade between them come first; a picture whose colours no longer fit beside those the
// pictures before it (in this and the earlier streams) took is given the style's instead.
void FitTitlePalette(const std::vector<std::vector<Subpicture>*>& streams, const SubtitleStyle& style);
// The same for a title of one stream.
void FitStreamPalette(std::vector<Subpicture>* pictures, const SubtitleStyle& style);

// The table of the colours the pictures use, in the order they first appear (unused
// entries black); false when they are more than 16.
bool PaletteOfPictures(const std::vector<const std::vector<Subpicture>*>& streams, SubpicturePalette* palette);

// dvdauthor's palette file: the 16 colours, one "rrggbb" a line.
std::string PaletteFileText(const SubpicturePalette& palette);

// False with the reason when the stream cannot be made; a cancelled job stops and
// leaves no output (nor palette file).
bool MuxSubtitles(const std::vector<Subpicture>& pictures, const SubtitleMuxInputs& inputs, std::string* error);

// Several subpicture streams of one title in one pass over it .
// Stream numbers must be 0, 1, 2 ... in order: the disc numbers subpicture streams by
// their place in the title. The pictures' colours must fit one table (FitTitlePalette).
struct SubtitleStreamPictures {
  int stream = 0;
  const std::vector<Subpicture>* pictures = nullptr;
};
bool MuxSubtitleStreams(const std::vector<SubtitleStreamPictures>& streams, const SubtitleMuxInputs& inputs,
                        std::string* error);

// The title set's declaration of a subtitle stream in dvd.xml.
std::string SubpictureElement(const std::string& language);

}  // namespace vantrel
