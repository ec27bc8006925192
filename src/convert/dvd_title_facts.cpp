#include "convert/dvd_title_facts.h"

#include "convert/encoder_internal.h"
#include "convert/picture_fit.h"

namespace vantrel {

bool DvdTitleFactsOf(const std::string& path, bool ntsc, DvdTitleFacts& facts) {
  encoder::SourceFile source;
  std::string why;
  if (!source.Open(path, why)) return false;
  const AVCodecParameters* v = source.ctx->streams[source.video]->codecpar;
  const EncoderPreset preset = ResolvePreset(
      PresetFor(FormatFamily::Dvd, ntsc ? TvStandard::Ntsc : TvStandard::Pal), v->width, v->height,
      source.frameRate);
  const double shape = source.displayAspect > 0 ? source.displayAspect : 4.0 / 3.0;
  const PictureRect picture =
      FitPicture(shape, preset.width, preset.height, OutputDisplayAspect(preset, shape));
  facts.seconds = source.duration100ns / 1e7;
  facts.pixelsPerSecond = double(picture.width) * picture.height * preset.frameRate.Value();
  facts.audioBitRate = preset.audioBitRate;
  facts.copied = encoder::IsDvdLegalSource(source, preset, why);
  return true;
}

}  // namespace vantrel
