// SPDX-License-Identifier: GPL-3.0-or-later
// A title given the sound tracks the user chose: its pictures copied as they are, and each
// track (a sound stream of the title's own file or of a file the user added, shifted by its
// offset) in the user's order as its own audio stream. A track already in the title's sound
// format at 48 kHz is copied; any other is encoded into that format, so that every title of
// a title set carries the same formats.
#pragma once

#include <string>
#include <vector>

#include "base/tv_standard.h"

namespace vantrel {

struct SoundTrackSource {
  std::string path;
  int stream = -1;           // the sound stream's index in its file; -1 the file's first sound
  double offsetSeconds = 0;  // later (positive) or earlier (negative) than the title's start
};

// What became of a track: its format on the disc ("ac3", "mp2") and the language its stream
// is tagged with ("" none).
struct SoundTrackFacts {
  std::string format;
  std::string languageTag;
};

// `title` is a DVD program stream; its first picture is time 0, as it is for every file
// with pictures among the tracks (the title's own source); a sound file starts at 0.
// The output appears whole or not at all; false with the reason.
bool MakeTitleSoundTracks(const std::string& title, const std::vector<SoundTrackSource>& tracks, TvStandard standard,
                          const std::string& output, std::vector<SoundTrackFacts>* facts, std::string* error);

// The bits per second a track keeps on the disc when it is copied as it is (it is already
// MPEG audio (`mp2`) or AC-3 as the title's sound is, at 48 kHz): its stream's own rate.
// 0 when it is encoded instead, or its file or rate cannot be read. Only the header is read.
int CopiedSoundTrackBitRate(const SoundTrackSource& track, bool mp2);

// Why a track cannot be used ("" when it can): its file cannot be read, or holds no such
// sound stream. Only the file's header is read.
std::string SoundTrackProblem(const SoundTrackSource& track);

}  // namespace vantrel
