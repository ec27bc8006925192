// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/encoder_settings.h"

#include <cmath>

namespace vantrel {
namespace {

FrameRate RateFromDouble(double rate) {
  // The NTSC family of rates is written 29.97, 23.976 or 59.94 by people and programs alike.
  for (int base : {24, 30, 60})
    if (std::fabs(rate - base * 1000.0 / 1001) < 0.005) return FrameRate{base * 1000, 1001};
  if (std::fabs(rate - std::round(rate)) < 1e-6) return FrameRate{int(std::round(rate)), 1};
  return FrameRate{int(std::lround(rate * 1000)), 1000};
}

}  // namespace

bool GetEncoderSetting(const EncoderPreset& p, int slot, double& value) {
  switch (slot) {
    case 7: value = p.height; return true;
    case 10: value = p.frameRate.Value(); return true;
    case 12: value = p.width; return true;
    case 14: value = p.videoBitRate; return true;
    case 16: value = p.autoBitRate ? 1 : 0; return true;
    case 18: value = p.autoDimensions ? 1 : 0; return true;
    case 24: value = p.audioBitRate; return true;
    case 26: value = p.quality; return true;
    case 28: value = p.variableBitRate ? 2 : 0; return true;
    case 30: value = p.displayShape; return true;
    default: return false;
  }
}

bool SetEncoderSetting(EncoderPreset& p, int slot, double value) {
  const long whole = std::lround(value);
  switch (slot) {
    case 8:
      if (whole <= 0) return false;
      p.height = int(whole);
      return true;
    case 9:
      if (!(value > 0)) return false;
      p.frameRate = RateFromDouble(value);
      return true;
    case 11:
      if (whole <= 0) return false;
      p.width = int(whole);
      return true;
    case 13:
      if (whole <= 0) return false;
      p.videoBitRate = int(whole);
      p.autoBitRate = false;
      return true;
    case 15: p.autoBitRate = whole != 0; return true;
    case 17: p.autoDimensions = whole != 0; return true;
    case 23:
      if (whole <= 0) return false;
      p.audioBitRate = int(whole);
      return true;
    case 25:
      if (whole < 0 || whole > 100) return false;
      p.quality = int(whole);
      return true;
    case 27: p.variableBitRate = whole != 0; return true;  // 2 variable, 0 constant
    case 29:
      if (whole != 0 && whole != 2 && whole != 3) return false;
      p.displayShape = int(whole);
      return true;
    case 31: p.uniformSound = whole != 0; return true;
    case 35:
      if (whole != 32000 && whole != 44100 && whole != 48000) return false;
      p.audioSampleRate = int(whole);
      return true;
    case 42:
      if (whole < 1 || whole > 4) return false;
      p.referenceDistance = int(whole);
      return true;
    case 44:
      if (whole != int(AudioCodec::Mp2) && whole != int(AudioCodec::Ac3)) return false;
      p.audio = AudioCodec(whole);
      return true;
    default: return false;
  }
}

}  // namespace vantrel
