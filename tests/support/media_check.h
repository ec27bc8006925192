// SPDX-License-Identifier: GPL-3.0-or-later
// Test helpers for the encoder: clips made with ffmpeg, and an independent read-back of
// what was written (libavformat decoding, the navigation-pack scan, dvdauthor).
#pragma once

#include <string>

namespace vantrel::test {

// Runs ffmpeg with the given arguments (already shell-quoted where needed) writing `output`.
// True when ffmpeg succeeded and the file exists.
bool MakeClip(const std::string& arguments, const std::string& output);

// Lavfi inputs for a clip of `seconds`: black pictures with one white frame at 1.0 s and
// silence with a 40 ms beep starting at the same instant.
std::string FlashVideoInput(int width, int height, const std::string& rate, double seconds);
std::string BeepAudioInput(int sampleRate, double seconds);

struct MediaFacts {
  bool opened = false;
  std::string videoCodec;
  std::string audioCodec;
  int width = 0;
  int height = 0;
  double frameRate = 0;
  double displayAspect = 0;
  int sampleRate = 0;
  int videoFrames = 0;
  double videoSeconds = 0;  // frames / rate
  double audioSeconds = 0;  // decoded samples / sample rate
  // Seconds after the first picture's timestamp; -1 when not found.
  double flashSeconds = -1;
  double beepSeconds = -1;
};

MediaFacts ReadBack(const std::string& path);

// dvdauthor builds a one-title VIDEO_TS from the file; its output goes to `log`.
bool DvdauthorAccepts(const std::string& mpeg, const std::string& workFolder, bool ntsc, std::string& log);

}  // namespace vantrel::test
