// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/title_facts.h"

#include <cmath>

#include "convert/encoder_internal.h"
#include "convert/picture_fit.h"

namespace vantrel {
namespace {

using encoder::SourceFile;

int ShapeOf(double displayAspect) {
  // Halfway between the two shapes, measured as a ratio, as the encoder decides.
  return displayAspect > std::sqrt(4.0 / 3.0 * 16.0 / 9.0) ? 3 : 2;
}

// The sound a player starts on: the audio stream with the lowest stream number. Program
// streams give each stream its id (0x1C0.. MPEG audio, 0x80.. AC-3, 0xA0.. LPCM).
TitleSound SoundOf(const SourceFile& source) {
  TitleSound sound;
  const AVStream* chosen = nullptr;
  for (unsigned i = 0; i < source.ctx->nb_streams; ++i) {
    const AVStream* s = source.ctx->streams[i];
    if (s->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    if (!chosen || (s->id & 7) < (chosen->id & 7)) chosen = s;
  }
  if (!chosen) return sound;
  const AVCodecParameters* a = chosen->codecpar;
  sound.format = a->codec_id == AV_CODEC_ID_MP2 || a->codec_id == AV_CODEC_ID_MP1 ? SoundFormat::Mp2
                 : a->codec_id == AV_CODEC_ID_AC3                                  ? SoundFormat::Ac3
                                                                                   : SoundFormat::Other;
  sound.sampleRate = a->sample_rate;
  // Only a program stream numbers its streams; elsewhere the muxer numbers them afresh.
  const bool programStream = std::string(source.ctx->iformat->name).find("mpeg") != std::string::npos;
  sound.firstStream = !programStream || (chosen->id & 7) == 0;
  return sound;
}

}  // namespace

TitleFacts ReadTitleFacts(const std::string& path) {
  TitleFacts facts;
  SourceFile source;
  std::string ignored;
  if (!source.Open(path, ignored)) return facts;
  facts.readable = true;
  facts.displayShape = ShapeOf(source.displayAspect);
  facts.sound = SoundOf(source);
  return facts;
}

TitleFacts RepairedTitleFacts(const std::string& path, TvStandard tv, AudioCodec sound) {
  TitleFacts facts;
  SourceFile source;
  std::string ignored;
  if (!source.Open(path, ignored)) return facts;
  facts.readable = true;
  EncoderPreset preset = PresetFor(FormatFamily::Dvd, tv);
  preset.audio = sound;
  const AVCodecParameters* v = source.ctx->streams[source.video]->codecpar;
  preset = ResolvePreset(preset, v->width, v->height, source.frameRate);
  if (encoder::ChooseMode(source, preset) == EncodeMode::Remux) {
    facts.displayShape = ShapeOf(source.displayAspect);
    facts.sound = SoundOf(source);
    facts.sound.firstStream = true;  // the DVD muxer numbers the copied stream from the first
    return facts;
  }
  facts.displayShape = ShapeOf(OutputDisplayAspect(preset, source.displayAspect));
  facts.sound = TitleSound{sound == AudioCodec::Ac3 ? SoundFormat::Ac3 : SoundFormat::Mp2, preset.audioSampleRate, true};
  return facts;
}

bool CanEncodeSound(const TitleSound& sound) {
  return (sound.format == SoundFormat::Mp2 || sound.format == SoundFormat::Ac3) && sound.sampleRate == 48000;
}

AudioCodec AudioCodecOf(SoundFormat format) { return format == SoundFormat::Mp2 ? AudioCodec::Mp2 : AudioCodec::Ac3; }

const char* SoundFormatName(SoundFormat format) {
  switch (format) {
    case SoundFormat::None: return "no sound";
    case SoundFormat::Mp2: return "MPEG-1 Layer II";
    case SoundFormat::Ac3: return "AC-3";
    case SoundFormat::Other: return "other";
  }
  return "other";
}

}  // namespace vantrel
