// SPDX-License-Identifier: GPL-3.0-or-later
// Output presets of the MPEG encoder: what each format family and TV standard produces.
// The numeric codes are the encoder's outside format codes and must not change.
#pragma once

#include "base/tv_standard.h"

#include <string>

namespace vantrel {

enum class FormatFamily { Mpeg1 = 1, Mpeg2 = 2, Vcd = 3, Svcd = 4, Dvd = 5 };

enum class VideoCodec { Mpeg1, Mpeg2 };
// The values are those of encoder setting 44 (the audio encoding of the current settings).
enum class AudioCodec { Mp2 = 1, Ac3 = 2 };

struct FrameRate {
  int num = 0;  // 0/0 means: decided from the source
  int den = 0;
  bool Known() const { return num > 0 && den > 0; }
  double Value() const { return Known() ? double(num) / den : 0.0; }
  bool operator==(const FrameRate&) const = default;
};

struct EncoderPreset {
  FormatFamily family = FormatFamily::Dvd;
  TvStandard tv = TvStandard::Pal;

  // 0 x 0 (or autoDimensions) takes the source's size, rounded down to even numbers.
  int width = 0;
  int height = 0;
  bool autoDimensions = false;
  FrameRate frameRate;

  VideoCodec video = VideoCodec::Mpeg2;
  int videoBitRate = 0;     // bits/s: the average in variable mode, the rate in constant mode
  int maxVideoBitRate = 0;  // bits/s, variable mode only; 0 lets the encoder choose
  int vbvBufferBits = 0;    // decoder buffer the stream must fit; 0 lets the encoder choose
  bool variableBitRate = true;
  bool autoBitRate = false;  // true: videoBitRate is replaced by the family's default
  int quality = 50;          // 0..100; above 75 the encoder spends more time per macroblock
  int gopSize = 15;          // pictures per group of pictures
  int referenceDistance = 3;  // encoder setting 42: distance between reference pictures (3 = IBBP)

  // Display shape of the frame for the disc families (DVD, SVCD): 0 chooses it from the
  // source, 2 imposes 4:3 and 3 imposes 16:9 (the MPEG aspect codes). A disc's titles share
  // one shape, so its titles are made in the disc's.
  int displayShape = 0;

  AudioCodec audio = AudioCodec::Ac3;
  // On: the output's sound is always `audio` at `audioSampleRate`; a source whose pictures
  // may be copied but whose sound differs keeps its pictures and gets its sound encoded.
  // Off: any DVD-legal sound is copied as it is.
  bool uniformSound = false;
  int audioBitRate = 192000;
  int audioSampleRate = 48000;
  int audioChannels = 2;

  // libavformat muxer that writes the program stream ("dvd" adds the navigation packs).
  std::string muxer = "dvd";
  int muxRate = 0;  // bits/s of the program stream; 0 lets the muxer compute it
};

// The preset of a family and standard. For VCD, SVCD and DVD, TvStandard::None is decided
// from the source's frame rate when the preset is resolved (see ResolvePreset).
EncoderPreset PresetFor(FormatFamily family, TvStandard tv);

// Nearest frame rate an MPEG-1/MPEG-2 stream can carry to the preset's rate, or to the
// source's when the preset leaves the rate open.
FrameRate SuggestFrameRate(const EncoderPreset& preset, double sourceRate);

// Fills in what the preset leaves to the source: standard, size and rate.
EncoderPreset ResolvePreset(const EncoderPreset& preset, int sourceWidth, int sourceHeight,
                            double sourceRate);

// Disc formats (VCD, SVCD, DVD) always carry pictures and sound: a source without sound
// gets a silent track and a source without pictures is refused. The plain MPEG-1/MPEG-2
// formats carry the streams the source has.
inline bool KeepsSilentTrack(const EncoderPreset& preset) {
  return preset.family != FormatFamily::Mpeg1 && preset.family != FormatFamily::Mpeg2;
}
inline bool NeedsPictures(const EncoderPreset& preset) { return KeepsSilentTrack(preset); }

// The family's video bit rate for its size and rate; used when autoBitRate is set.
int DefaultVideoBitRate(const EncoderPreset& preset);

const char* FormatFamilyName(FormatFamily family);
bool IsKnownFormatFamily(int code);
bool IsKnownTvStandard(int code);

}  // namespace vantrel
