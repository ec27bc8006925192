// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/dvd_title_facts.h"

#include "base/translation.h"
#include "convert/encoder_internal.h"
#include "convert/picture_fit.h"
#include "base/text_format.h"

namespace vantrel {

bool DvdTitleFactsOf(const std::string& path, TvStandard standard, DvdTitleFacts& facts, const DiscTarget& target) {
  encoder::SourceFile source;
  std::string why;
  if (!source.Open(path, why)) return false;
  const AVCodecParameters* v = source.ctx->streams[source.video]->codecpar;
  EncoderPreset preset = PresetFor(FormatFamily::Dvd, StandardOfNtscFlag(IsNtsc(standard)));
  preset.displayShape = target.displayShape;
  preset.audio = target.sound;
  preset.uniformSound = target.uniformSound;
  preset = ResolvePreset(preset, v->width, v->height, source.frameRate);
  const double shape = source.displayAspect > 0 ? source.displayAspect : 4.0 / 3.0;
  const double frameAspect = OutputDisplayAspect(preset, shape);
  facts = DvdTitleFacts{};
  facts.seconds = source.duration100ns / 1e7;
  facts.frameWidth = preset.width;
  facts.frameHeight = preset.height;
  facts.wide = frameAspect > 1.5;
  facts.picture = FitPicture(shape, preset.width, preset.height, frameAspect);
  facts.pixelsPerSecond = double(facts.picture.width) * facts.picture.height * preset.frameRate.Value();
  facts.audioBitRate = preset.audioBitRate;
  const EncodeMode mode = encoder::ChooseMode(source, preset);
  facts.copied = mode == EncodeMode::Remux || mode == EncodeMode::RemuxNewSound;
  if (facts.copied && source.ctx->pb) facts.copiedBytes = avio_size(source.ctx->pb);
  if (mode == EncodeMode::RemuxNewSound && facts.seconds > 0) {
    // The pictures stay; the sound is replaced by sound at the encoded rate.
    double oldSound = 0;  // a title without sound gets a track
    if (source.audio >= 0) {
      const std::int64_t rate = source.ctx->streams[source.audio]->codecpar->bit_rate;
      oldSound = rate > 0 ? double(rate) : double(preset.audioBitRate);  // unknown: taken as the same
    }
    facts.copiedBytes += std::int64_t((preset.audioBitRate - oldSound) * facts.seconds / 8);
  }
  return true;
}

MediaLength MediaLengthOf(const std::string& path) {
  encoder::SourceFile source;
  std::string why;
  if (!source.Open(path, why)) return {};
  const double start = source.ctx->start_time == AV_NOPTS_VALUE ? 0 : double(source.ctx->start_time) / AV_TIME_BASE;
  return {double(source.duration100ns) / 1e7, std::max(0.0, source.originSeconds - start)};
}

std::string DvdPicturesProblem(const std::string& path, TvStandard standard) {
  encoder::SourceFile source;
  std::string why;
  if (!source.Open(path, why) || source.video < 0) return "";
  const EncoderPreset preset = PresetFor(FormatFamily::Dvd, StandardOfNtscFlag(IsNtsc(standard)));
  if (encoder::IsDvdLegalVideo(source, preset, why)) return "";
  const AVCodecParameters* v = source.ctx->streams[source.video]->codecpar;
  return Format(Tr("画面是 %dx%d、%.2f 帧/秒、宽高比 %.2f，%s 光盘要 %dx%d、%.2f 帧/秒、4:3 或 16:9 的 MPEG-2 画面 (%s)"),
                v->width, v->height, source.frameRate, source.displayAspect, IsNtsc(standard) ? "NTSC" : "PAL",
                preset.width, preset.height, preset.frameRate.Value(), why.c_str());
}

}  // namespace vantrel
