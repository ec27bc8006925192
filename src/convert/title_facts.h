// SPDX-License-Identifier: GPL-3.0-or-later
// What a player sees of a title on a disc: the shape its pictures are flagged with and the
// sound it starts on. A title set declares both once for all its titles, so the titles of
// one disc must agree on them.
#pragma once

#include <string>

#include "convert/encoder_preset.h"

namespace vantrel {

enum class SoundFormat { None, Mp2, Ac3, Other };

struct TitleSound {
  SoundFormat format = SoundFormat::None;
  int sampleRate = 0;
  // The sound lies in the first stream of its kind (private stream 1 substream 0x80 for
  // AC-3, MPEG audio stream 0xC0): the title set's audio stream 1 plays it.
  bool firstStream = true;
  bool operator==(const TitleSound&) const = default;
};

struct TitleFacts {
  bool readable = false;
  int displayShape = 2;  // MPEG aspect codes: 2 for 4:3, 3 for 16:9
  TitleSound sound;
};

// The facts of a DVD-ready title file as it is.
TitleFacts ReadTitleFacts(const std::string& path);

// The facts of the title the DVD repair makes of `path` for the standard, with sound in
// `sound` when it is encoded (setting 44): the repair copies a DVD-legal source as it is
// and flags an encoded one by its shape.
TitleFacts RepairedTitleFacts(const std::string& path, TvStandard tv, AudioCodec sound);

// Whether the encoder can write sound of this format (and so make a title's sound match it).
bool CanEncodeSound(const TitleSound& sound);
AudioCodec AudioCodecOf(SoundFormat format);
const char* SoundFormatName(SoundFormat format);

}  // namespace vantrel
