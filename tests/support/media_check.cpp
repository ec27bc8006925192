// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media_check.h"

#include <cmath>
#include <cstdlib>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/xml_text.h"
#include "support/temp_folder.h"

namespace vantrel::test {
namespace {

struct Decoder {
  AVCodecContext* ctx = nullptr;
  ~Decoder() { avcodec_free_context(&ctx); }
  bool Open(const AVStream* s) {
    const AVCodec* codec = avcodec_find_decoder(s->codecpar->codec_id);
    if (!codec) return false;
    ctx = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(ctx, s->codecpar);
    ctx->pkt_timebase = s->time_base;
    return avcodec_open2(ctx, codec, nullptr) == 0;
  }
};

double Sample(const AVFrame* f, int channel, int i) {
  auto fmt = AVSampleFormat(f->format);
  bool planar = av_sample_fmt_is_planar(fmt);
  int channels = f->ch_layout.nb_channels;
  const uint8_t* base = planar ? f->extended_data[channel] : f->extended_data[0];
  int index = planar ? i : i * channels + channel;
  switch (av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(base)[index] / 32768.0;
    case AV_SAMPLE_FMT_S32: return reinterpret_cast<const int32_t*>(base)[index] / 2147483648.0;
    case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(base)[index];
    case AV_SAMPLE_FMT_DBL: return reinterpret_cast<const double*>(base)[index];
    default: return 0;
  }
}

double MeanLuma(const AVFrame* f) {
  // Every pixel format the decoders here give starts with an 8-bit luma plane.
  double sum = 0;
  int count = 0;
  for (int y = 0; y < f->height; y += 4)
    for (int x = 0; x < f->width; x += 4, ++count) sum += f->data[0][y * f->linesize[0] + x];
  return count ? sum / count : 0;
}

}  // namespace

bool MakeClip(const std::string& arguments, const std::string& output) {
  return ShellCommand("ffmpeg -nostdin -v error -y " + arguments + " " + ShellQuote(output)) && FileExists(output);
}

std::string FlashVideoInput(int width, int height, const std::string& rate, double seconds) {
  return Format("-f lavfi -i \"color=c=black:s=%dx%d:r=%s:d=%g,"
                "drawbox=x=0:y=0:w=iw:h=ih:color=white:t=fill:enable='between(t,0.999,1.039)'\"",
                width, height, rate.c_str(), seconds);
}

std::string BeepAudioInput(int sampleRate, double seconds) {
  return Format("-f lavfi -i \"aevalsrc='if(between(t,1,1.04),0.8*sin(2*PI*1000*t),0)|"
                "if(between(t,1,1.04),0.8*sin(2*PI*1000*t),0)':s=%d:d=%g\"",
                sampleRate, seconds);
}

MediaFacts ReadBack(const std::string& path) {
  MediaFacts facts;
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return facts;
  std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> ctx(raw, [](AVFormatContext* c) { avformat_close_input(&c); });
  if (avformat_find_stream_info(raw, nullptr) < 0) return facts;
  int v = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  int a = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  facts.opened = true;
  Decoder video, audio;
  if (v >= 0) {
    const AVStream* s = raw->streams[v];
    facts.videoCodec = avcodec_get_name(s->codecpar->codec_id);
    facts.width = s->codecpar->width;
    facts.height = s->codecpar->height;
    facts.frameRate = av_q2d(s->avg_frame_rate.num ? s->avg_frame_rate : s->r_frame_rate);
    AVRational sar = av_guess_sample_aspect_ratio(raw, raw->streams[v], nullptr);
    facts.displayAspect = facts.width * (sar.num ? av_q2d(sar) : 1.0) / facts.height;
    video.Open(s);
  }
  if (a >= 0) {
    facts.audioCodec = avcodec_get_name(raw->streams[a]->codecpar->codec_id);
    facts.sampleRate = raw->streams[a]->codecpar->sample_rate;
    audio.Open(raw->streams[a]);
  }
  double firstVideo = NAN, firstAudio = NAN, flash = NAN, beep = NAN;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](Decoder& d, int index) {
    while (avcodec_receive_frame(d.ctx, frame) == 0) {
      double t = frame->best_effort_timestamp * av_q2d(raw->streams[index]->time_base);
      if (index == v) {
        ++facts.videoFrames;
        if (std::isnan(firstVideo)) firstVideo = t;
        if (std::isnan(flash) && MeanLuma(frame) > 128) flash = t;
      } else {
        if (std::isnan(firstAudio)) firstAudio = t;
        if (frame->sample_rate > 0) facts.audioSeconds += double(frame->nb_samples) / frame->sample_rate;
        for (int i = 0; std::isnan(beep) && i < frame->nb_samples; ++i)
          if (std::fabs(Sample(frame, 0, i)) > 0.3) beep = t + double(i) / frame->sample_rate;
      }
      av_frame_unref(frame);
    }
  };
  while (av_read_frame(raw, packet) >= 0) {
    if (packet->stream_index == v && video.ctx && avcodec_send_packet(video.ctx, packet) >= 0) drain(video, v);
    if (packet->stream_index == a && audio.ctx && avcodec_send_packet(audio.ctx, packet) >= 0) drain(audio, a);
    av_packet_unref(packet);
  }
  if (video.ctx && avcodec_send_packet(video.ctx, nullptr) >= 0) drain(video, v);
  if (audio.ctx && avcodec_send_packet(audio.ctx, nullptr) >= 0) drain(audio, a);
  av_frame_free(&frame);
  av_packet_free(&packet);
  double origin = std::isnan(firstVideo) ? firstAudio : firstVideo;
  if (!std::isnan(flash)) facts.flashSeconds = flash - origin;
  if (!std::isnan(beep)) facts.beepSeconds = beep - origin;
  if (facts.frameRate > 0) facts.videoSeconds = facts.videoFrames / facts.frameRate;
  return facts;
}

bool DvdauthorAccepts(const std::string& mpeg, const std::string& workFolder, bool ntsc, std::string& log) {
  std::string xml = JoinPath(workFolder, "dvd.xml");
  std::string out = JoinPath(workFolder, "dvd");
  WriteText(xml, "<dvdauthor><vmgm/><titleset><titles><pgc><vob file=\"" + XmlEscape(mpeg) +
                     "\"/></pgc></titles></titleset></dvdauthor>");
  std::string logFile = JoinPath(workFolder, "dvdauthor.log");
  bool ok = ShellCommand(std::string("VIDEO_FORMAT=") + (ntsc ? "NTSC" : "PAL") + " dvdauthor -o " + ShellQuote(out) +
                         " -x " + ShellQuote(xml) + " >" + ShellQuote(logFile) + " 2>&1");
  log = ReadText(logFile);
  return ok && FileExists(JoinPath(out, "VIDEO_TS/VTS_01_1.VOB"));
}

}  // namespace vantrel::test
