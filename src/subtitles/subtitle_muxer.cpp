// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/subtitle_muxer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/atomic_file.h"
#include "base/log.h"
#include "base/text_format.h"
#include "subtitles/language_code.h"

namespace vantrel {
namespace {

constexpr size_t kTitleColours = 16;

bool Has(const std::vector<std::uint32_t>& colours, std::uint32_t colour) {
  return std::find(colours.begin(), colours.end(), colour) != colours.end();
}

}  // namespace

void FitTitlePalette(const std::vector<std::vector<Subpicture>*>& streams, const SubtitleStyle& style) {
  const std::uint32_t styleShade = (((style.fill >> 16 & 0xFF) + (style.outline >> 16 & 0xFF)) / 2) << 16 |
                                   (((style.fill >> 8 & 0xFF) + (style.outline >> 8 & 0xFF)) / 2) << 8 |
                                   ((style.fill & 0xFF) + (style.outline & 0xFF)) / 2;
  const std::array<std::uint32_t, 4> stylePalette{0, style.fill, style.outline, styleShade};
  std::vector<std::uint32_t> colours;
  for (size_t i = 1; i < 4; ++i)
    if (!Has(colours, stylePalette[i])) colours.push_back(stylePalette[i]);
  for (std::vector<Subpicture>* pictures : streams)
    for (Subpicture& picture : *pictures) {
      std::vector<std::uint32_t> with = colours;
      for (size_t i = 1; i < 4; ++i)
        if (!Has(with, picture.bitmap.palette[i])) with.push_back(picture.bitmap.palette[i]);
      if (with.size() <= kTitleColours)
        colours = std::move(with);
      else
        picture.bitmap.palette = stylePalette;
    }
}

void FitStreamPalette(std::vector<Subpicture>* pictures, const SubtitleStyle& style) {
  FitTitlePalette({pictures}, style);
}

bool PaletteOfPictures(const std::vector<const std::vector<Subpicture>*>& streams, SubpicturePalette* palette) {
  std::vector<std::uint32_t> colours;
  for (const std::vector<Subpicture>* pictures : streams)
    for (const Subpicture& picture : *pictures) {
      if (picture.bitmap.Empty()) continue;
      for (size_t i = 1; i < 4; ++i)
        if (!Has(colours, picture.bitmap.palette[i] & 0xFFFFFF)) colours.push_back(picture.bitmap.palette[i] & 0xFFFFFF);
    }
  if (colours.size() > kTitleColours) return false;
  palette->fill(0);
  std::copy(colours.begin(), colours.end(), palette->begin());
  return true;
}

std::string PaletteFileText(const SubpicturePalette& palette) {
  std::string text;
  for (std::uint32_t colour : palette) text += Format("%06x\n", colour & 0xFFFFFF);
  return text;
}

bool MuxSubtitleStreams(const std::vector<SubtitleStreamPictures>& streams, const SubtitleMuxInputs& inputs,
                        std::string* error) {
  if (streams.empty()) return *error = "no subtitle stream to add", false;
  if (streams.size() > 32) return *error = Format("%zu subtitle streams; a title may have 32", streams.size()), false;
  std::vector<const std::vector<Subpicture>*> pictures;
  for (size_t k = 0; k < streams.size(); ++k) {
    if (streams[k].stream != int(k))
      return *error = Format("subtitle stream %d is out of its place %zu", streams[k].stream, k), false;
    pictures.push_back(streams[k].pictures);
  }
  if (inputs.output == inputs.title) return *error = "the subtitles cannot be written over their title " + inputs.title, false;
  SubpicturePalette palette;
  if (!PaletteOfPictures(pictures, &palette))
    return *error = "the subtitles of " + inputs.title + " use more than the 16 colours a title may have", false;
  if (!inputs.palette.empty() && !WriteFileAtomically(inputs.palette, PaletteFileText(palette)))
    return *error = "cannot write " + inputs.palette + ": " + std::strerror(errno), false;
  SubpictureStreamsOutcome outcome;
  if (!WriteSubpictureStreams(inputs.title, inputs.output, pictures, palette, &outcome, error)) {
    if (!inputs.palette.empty()) std::remove(inputs.palette.c_str());
    return false;
  }
  if (outcome.skipped > 0)
    LogWarning(Format("%zu of %zu subtitle pictures start after the pictures of %s end and are left out",
                      outcome.skipped, outcome.skipped + outcome.written, inputs.title.c_str()));
  return true;
}

bool MuxSubtitles(const std::vector<Subpicture>& pictures, const SubtitleMuxInputs& inputs, std::string* error) {
  return MuxSubtitleStreams({{0, &pictures}}, inputs, error);
}

std::string SubpictureElement(const std::string& language) {
  const std::string code = DvdLanguageOf(language);
  return code.empty() ? "<subpicture/>" : "<subpicture lang=\"" + code + "\"/>";
}

}  // namespace vantrel
