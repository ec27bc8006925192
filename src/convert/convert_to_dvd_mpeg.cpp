#include "convert/convert_to_dvd_mpeg.h"

#include <algorithm>
#include <cstdio>

#include "base/message_pump.h"
#include "base/paths.h"
#include "convert/mpeg_encoder.h"

namespace vantrel {
namespace {

constexpr int kWaitMs = 1000;

// The encoder settings the main program always applies after choosing the DVD format.
constexpr AudioCodec kSetting44Audio = AudioCodec::Ac3;  // setting 44 = 2
constexpr int kSetting42ReferenceDistance = 3;          // setting 42 = 3: IBBP

int Percent(const MpegEncoder& encoder) {
  std::int64_t duration = encoder.Duration100ns();
  if (duration <= 0) return 0;
  return int(std::clamp<std::int64_t>(encoder.Position100ns() * 100 / duration, 0, 100));
}

}  // namespace

std::string DvdMpegOutputName(const std::string& output) {
  auto dot = output.rfind('.');
  std::string ending = dot == std::string::npos ? output : output.substr(dot + 1);
  if (!EqualsNoCase(ending, "avi")) return output;
  return (dot == std::string::npos ? output : output.substr(0, dot)) + ".mpg";
}

bool ConvertToDvdMpeg(const std::string& source, std::string& output, int ntsc,
                      const ConvertProgress& progress, std::string* errorText) {
  output = DvdMpegOutputName(output);

  EncoderPreset preset = PresetFor(FormatFamily::Dvd, ntsc ? TvStandard::Ntsc : TvStandard::Pal);
  preset.audio = kSetting44Audio;
  preset.referenceDistance = kSetting42ReferenceDistance;

  MpegEncoder encoder;
  encoder.SetSource(source);
  encoder.SetOutput(output);
  encoder.SetPreset(preset);

  std::fputs("正在初始化转换...\n", stdout);
  std::fflush(stdout);
  bool started = encoder.Start();
  if (started) {
    while (!encoder.Wait(kWaitMs)) {
      PumpMessages();
      if (progress) progress(Percent(encoder));
    }
  }
  // A conversion that started but did not complete is a failure too: the caller must not
  // author a title from a file that is not there.
  if (!encoder.Succeeded()) {
    std::fputs("转换失败\n", stdout);
    std::fflush(stdout);
    if (errorText) *errorText = encoder.ErrorText();
    return false;
  }
  if (errorText) errorText->clear();
  return true;
}

}  // namespace vantrel
