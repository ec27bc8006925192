// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the source and deciding whether its streams may be copied as they are.
#include <sys/stat.h>

#include <cmath>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "base/ffmpeg_log.h"
#include "convert/encoder_internal.h"

namespace vantrel::encoder {
namespace {

constexpr std::int64_t kDvdMaxVideoBitRate = 9800000;
constexpr std::int64_t kDvdMaxMuxRate = 10080000;

double StreamStart(const AVStream* s) {
  return s->start_time == AV_NOPTS_VALUE ? 0.0 : s->start_time * av_q2d(s->time_base);
}

double StreamRate(const AVStream* s) {
  if (s->avg_frame_rate.num > 0 && s->avg_frame_rate.den > 0) return av_q2d(s->avg_frame_rate);
  if (s->r_frame_rate.num > 0 && s->r_frame_rate.den > 0) return av_q2d(s->r_frame_rate);
  return 0;
}

}  // namespace

bool SourceFile::Open(const std::string& path, std::string& error) {
  RouteFfmpegLog();
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "the source " + path + " is not a readable file";
    return false;
  }
  if (info.st_size == 0) {
    error = "the source " + path + " is empty";
    return false;
  }
  AVFormatContext* raw = nullptr;
  int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
  if (rc < 0) {
    error = "cannot read the source " + path + ": " + AvError(rc);
    return false;
  }
  ctx.reset(raw);
  rc = avformat_find_stream_info(raw, nullptr);
  if (rc < 0) {
    error = "cannot read the streams of " + path + ": " + AvError(rc);
    return false;
  }
  video = -1;
  for (unsigned i = 0; i < raw->nb_streams; ++i) {
    const AVStream* s = raw->streams[i];
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(s->disposition & AV_DISPOSITION_ATTACHED_PIC) &&
        s->codecpar->width > 0 && s->codecpar->height > 0) {
      video = int(i);
      break;
    }
  }
  audio = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, video, nullptr, 0);
  if (audio < 0) audio = -1;
  if (video < 0) {
    error = audio >= 0 ? "the source has no video, only sound; a DVD title needs pictures"
                       : "the source has neither video nor sound";
    return false;
  }
  const AVStream* v = raw->streams[video];
  if (!avcodec_find_decoder(v->codecpar->codec_id)) {
    error = std::string("no decoder for the source's video (") + avcodec_get_name(v->codecpar->codec_id) + ")";
    return false;
  }
  if (audio >= 0 && !avcodec_find_decoder(raw->streams[audio]->codecpar->codec_id)) audio = -1;

  // The title starts with its first picture; sound before it is cut, a late start of the
  // sound is filled with silence.
  originSeconds = StreamStart(v);
  frameRate = StreamRate(v);
  timesMayJump = (raw->iformat->flags & AVFMT_TS_DISCONT) != 0;
  AVRational sar = av_guess_sample_aspect_ratio(raw, const_cast<AVStream*>(v), nullptr);
  double pixelAspect = sar.num > 0 && sar.den > 0 ? av_q2d(sar) : 1.0;
  displayAspect = double(v->codecpar->width) * pixelAspect / v->codecpar->height;

  if (raw->duration != AV_NOPTS_VALUE && raw->duration > 0) {
    duration100ns = raw->duration * 10;  // AV_TIME_BASE is microseconds
  } else if (v->duration != AV_NOPTS_VALUE && v->duration > 0) {
    duration100ns = std::int64_t(v->duration * av_q2d(v->time_base) * 1e7);
  }
  return true;
}

bool IsDvdLegalVideo(const SourceFile& source, const EncoderPreset& preset, std::string& why) {
  const AVFormatContext* ctx = source.ctx.get();
  if (preset.family != FormatFamily::Dvd) return why = "the target is not DVD", false;
  const AVCodecParameters* v = ctx->streams[source.video]->codecpar;
  if (v->codec_id != AV_CODEC_ID_MPEG2VIDEO) return why = "the video is not MPEG-2", false;
  if (v->width != preset.width || v->height != preset.height)
    return why = "the picture size differs from the preset's", false;
  if (v->format != AV_PIX_FMT_YUV420P) return why = "the video is not 4:2:0", false;
  if (std::fabs(source.frameRate - preset.frameRate.Value()) > 0.01)
    return why = "the frame rate differs from the preset's", false;
  const bool standard = std::fabs(source.displayAspect - 4.0 / 3.0) < 0.02;
  const bool wide = std::fabs(source.displayAspect - 16.0 / 9.0) < 0.02;
  if (!standard && !wide) return why = "the picture shape is neither 4:3 nor 16:9", false;
  if ((preset.displayShape == 2 && !standard) || (preset.displayShape == 3 && !wide))
    return why = "the picture shape is not the one asked for", false;
  if (v->bit_rate > kDvdMaxVideoBitRate) return why = "the video bit rate is above the DVD limit", false;
  if (v->bit_rate <= 0 && ctx->pb && source.duration100ns > 0) {
    // No rate in the stream headers: judge by the whole file's rate.
    double seconds = source.duration100ns / 1e7;
    if (avio_size(ctx->pb) * 8.0 / seconds > kDvdMaxMuxRate)
      return why = "the file's bit rate is above the DVD limit", false;
  }
  // A caller that asked for less than the format's own rate wants the title smaller than
  // a copy of it would be.
  const int ownRate = PresetFor(preset.family, preset.tv).videoBitRate;
  if (preset.videoBitRate > 0 && preset.videoBitRate < ownRate && ctx->pb && source.duration100ns > 0) {
    const double fileRate = avio_size(ctx->pb) * 8.0 / (source.duration100ns / 1e7);
    double sound = 0;  // without a sound track the file is all video
    if (source.audio >= 0) {
      const AVCodecParameters* a = ctx->streams[source.audio]->codecpar;
      sound = a->bit_rate > 0 ? double(a->bit_rate) : double(preset.audioBitRate);
    }
    if (fileRate - sound > preset.videoBitRate) return why = "the video bit rate is above the one asked for", false;
  }
  return true;
}

bool IsDvdLegalSound(const SourceFile& source, const EncoderPreset& preset, std::string& why) {
  if (source.audio < 0) return why = "there is no sound track", false;
  const AVCodecParameters* a = source.ctx->streams[source.audio]->codecpar;
  if (a->codec_id != AV_CODEC_ID_MP2 && a->codec_id != AV_CODEC_ID_AC3)
    return why = "the sound is neither MPEG-1 Layer II nor AC-3", false;
  if (a->sample_rate != 48000) return why = "the sound is not sampled at 48 kHz", false;
  if (preset.uniformSound) {
    const AVCodecID wanted = preset.audio == AudioCodec::Ac3 ? AV_CODEC_ID_AC3 : AV_CODEC_ID_MP2;
    if (a->codec_id != wanted || a->sample_rate != preset.audioSampleRate)
      return why = "the sound is not in the encoding asked for", false;
  }
  return true;
}

bool IsDvdLegalSource(const SourceFile& source, const EncoderPreset& preset, std::string& why) {
  return IsDvdLegalVideo(source, preset, why) && IsDvdLegalSound(source, preset, why);
}

EncodeMode ChooseMode(const SourceFile& source, const EncoderPreset& preset) {
  std::string why;
  if (!IsDvdLegalVideo(source, preset, why)) return EncodeMode::Encode;
  if (IsDvdLegalSound(source, preset, why)) return EncodeMode::Remux;
  // Without the wish for one sound format, a source with other sound is encoded whole,
  // as it always was; with it, only its sound is.
  return preset.uniformSound ? EncodeMode::RemuxNewSound : EncodeMode::Encode;
}

}  // namespace vantrel::encoder
