// SPDX-License-Identifier: GPL-3.0-or-later
// The preset table. DVD and SVCD figures follow the limits of their standards: DVD video
// may peak at 9.8 Mbit/s inside a 10.08 Mbit/s program stream; the encoder aims well below.
#include "convert/encoder_preset.h"

#include <algorithm>
#include <cmath>

namespace vantrel {
namespace {

constexpr FrameRate kPalRate{25, 1};
constexpr FrameRate kNtscRate{30000, 1001};

// The rates an MPEG-1/MPEG-2 sequence header can name.
constexpr FrameRate kMpegRates[] = {{24000, 1001}, {24, 1},          {25, 1}, {30000, 1001},
                                    {30, 1},       {50, 1},          {60000, 1001}, {60, 1}};

bool FixedFamily(FormatFamily family) {
  return family == FormatFamily::Vcd || family == FormatFamily::Svcd || family == FormatFamily::Dvd;
}

void ApplyStandard(EncoderPreset& p) {
  bool ntsc = p.tv == TvStandard::Ntsc;
  if (p.tv == TvStandard::None) return;
  p.frameRate = ntsc ? kNtscRate : kPalRate;
  p.gopSize = ntsc ? 18 : 15;
  switch (p.family) {
    case FormatFamily::Dvd:
      p.width = 720;
      p.height = ntsc ? 480 : 576;
      break;
    case FormatFamily::Svcd:
      p.width = 480;
      p.height = ntsc ? 480 : 576;
      break;
    case FormatFamily::Vcd:
      p.width = 352;
      p.height = ntsc ? 240 : 288;
      break;
    case FormatFamily::Mpeg1:
    case FormatFamily::Mpeg2:
      break;  // source size; only the rate follows the standard
  }
}

}  // namespace

EncoderPreset PresetFor(FormatFamily family, TvStandard tv) {
  EncoderPreset p;
  p.family = family;
  p.tv = tv;
  switch (family) {
    case FormatFamily::Dvd:
      p.video = VideoCodec::Mpeg2;
      p.videoBitRate = 6000000;
      p.maxVideoBitRate = 9000000;
      p.vbvBufferBits = 1835008;  // 224 KiB, the DVD decoder buffer
      p.audio = AudioCodec::Ac3;  // legal on PAL and NTSC discs alike
      p.audioBitRate = 192000;
      p.audioSampleRate = 48000;
      p.muxer = "dvd";
      p.muxRate = 10080000;
      break;
    case FormatFamily::Svcd:
      p.video = VideoCodec::Mpeg2;
      p.videoBitRate = 2040000;
      p.maxVideoBitRate = 2516000;
      p.vbvBufferBits = 1835008;
      p.audio = AudioCodec::Mp2;
      p.audioBitRate = 224000;
      p.audioSampleRate = 44100;
      p.muxer = "svcd";
      break;
    case FormatFamily::Vcd:
      p.video = VideoCodec::Mpeg1;
      p.videoBitRate = 1150000;
      p.variableBitRate = false;  // VCD players expect a constant rate
      p.vbvBufferBits = 327680;   // 40 KiB
      p.audio = AudioCodec::Mp2;
      p.audioBitRate = 224000;
      p.audioSampleRate = 44100;
      p.muxer = "vcd";
      p.muxRate = 1411200;
      break;
    case FormatFamily::Mpeg1:
    case FormatFamily::Mpeg2:
      p.video = family == FormatFamily::Mpeg1 ? VideoCodec::Mpeg1 : VideoCodec::Mpeg2;
      p.autoDimensions = true;
      p.autoBitRate = true;
      p.audio = AudioCodec::Mp2;
      p.audioBitRate = 224000;
      p.audioSampleRate = 48000;
      p.muxer = family == FormatFamily::Mpeg1 ? "mpeg" : "vob";
      break;
  }
  ApplyStandard(p);
  return p;
}

FrameRate SuggestFrameRate(const EncoderPreset& preset, double sourceRate) {
  // A rate set by hand is moved to the nearest one MPEG allows, like a source's.
  if (preset.frameRate.Known()) sourceRate = preset.frameRate.Value();
  if (!(sourceRate > 0)) return kPalRate;
  const FrameRate* best = &kMpegRates[0];
  for (const FrameRate& r : kMpegRates)
    if (std::fabs(std::log(r.Value() / sourceRate)) < std::fabs(std::log(best->Value() / sourceRate)))
      best = &r;
  return *best;
}

int DefaultVideoBitRate(const EncoderPreset& p) {
  if (FixedFamily(p.family)) return PresetFor(p.family, TvStandard::Pal).videoBitRate;
  // About half a bit per pixel, which keeps MPEG-1/MPEG-2 free of visible blocking.
  double pixelsPerSecond = double(p.width) * p.height * std::max(1.0, p.frameRate.Value());
  double limit = p.video == VideoCodec::Mpeg1 ? 8e6 : 15e6;
  return int(std::clamp(pixelsPerSecond * 0.5, 500e3, limit));
}

EncoderPreset ResolvePreset(const EncoderPreset& preset, int sourceWidth, int sourceHeight,
                            double sourceRate) {
  EncoderPreset p = preset;
  if (p.tv == TvStandard::None && FixedFamily(p.family)) {
    // Film and 30 Hz material goes to NTSC, everything else to PAL.
    bool ntscLike = sourceRate > 0 && std::fabs(sourceRate - 25) > 0.5 && std::fabs(sourceRate - 50) > 0.5;
    p.tv = ntscLike ? TvStandard::Ntsc : TvStandard::Pal;
    EncoderPreset standard = PresetFor(p.family, p.tv);
    if (p.width == 0 || p.height == 0) {
      p.width = standard.width;
      p.height = standard.height;
    }
    if (!p.frameRate.Known()) p.frameRate = standard.frameRate;
    p.gopSize = standard.gopSize;
  }
  if (p.autoDimensions || p.width <= 0 || p.height <= 0) {
    p.width = std::max(16, sourceWidth & ~1);
    p.height = std::max(16, sourceHeight & ~1);
  }
  p.frameRate = SuggestFrameRate(p, sourceRate);
  if (p.autoBitRate || p.videoBitRate <= 0) p.videoBitRate = DefaultVideoBitRate(p);
  if (p.maxVideoBitRate && p.maxVideoBitRate < p.videoBitRate) p.maxVideoBitRate = p.videoBitRate;
  p.gopSize = std::max(1, p.gopSize);
  p.referenceDistance = std::clamp(p.referenceDistance, 1, 4);
  return p;
}

const char* FormatFamilyName(FormatFamily family) {
  switch (family) {
    case FormatFamily::Mpeg1: return "MPEG-1";
    case FormatFamily::Mpeg2: return "MPEG-2";
    case FormatFamily::Vcd: return "VCD";
    case FormatFamily::Svcd: return "SVCD";
    case FormatFamily::Dvd: return "DVD";
  }
  return "?";
}

bool IsKnownFormatFamily(int code) { return code >= 1 && code <= 5; }
bool IsKnownTvStandard(int code) { return code == 0 || code == 1 || code == 3; }

}  // namespace vantrel
