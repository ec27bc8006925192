// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/demo_clips.h"

#include "base/atomic_file.h"
#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"

#include <cstring>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace vantrel {
namespace {

constexpr int kSampleRate = 48000;

struct Encoders {
  OutputPtr mux;
  CodecPtr video;
  CodecPtr audio;
  AVStream* videoStream = nullptr;
  AVStream* audioStream = nullptr;
};

const char* MuxerFor(DemoClipKind kind) {
  switch (kind) {
    case DemoClipKind::kAviMpeg4: return "avi";
    case DemoClipKind::kMpeg1Stream: return "mpeg";
    default: return "dvd";
  }
}

bool OpenEncoders(Encoders& e, const std::string& path, const DemoClipSpec& spec, std::string& error) {
  AVFormatContext* mux = nullptr;
  const int made = avformat_alloc_output_context2(&mux, nullptr, MuxerFor(spec.kind), path.c_str());
  e.mux.reset(mux);
  if (made < 0) {
    error = "no muxer for the demo clip";
    return false;
  }
  const AVCodecID videoId = spec.kind == DemoClipKind::kAviMpeg4   ? AV_CODEC_ID_MPEG4
                            : spec.kind == DemoClipKind::kMpeg1Stream ? AV_CODEC_ID_MPEG1VIDEO
                                                                      : AV_CODEC_ID_MPEG2VIDEO;
  const AVCodec* videoCodec = avcodec_find_encoder(videoId);
  const AVCodec* audioCodec = avcodec_find_encoder(AV_CODEC_ID_MP2);
  if (!videoCodec || !audioCodec) {
    error = "the FFmpeg libraries lack an encoder the demo needs";
    return false;
  }
  const AVRational rate = spec.ntscRate ? AVRational{30000, 1001} : AVRational{25, 1};
  e.video.reset(avcodec_alloc_context3(videoCodec));
  e.audio.reset(avcodec_alloc_context3(audioCodec));
  if (!e.video || !e.audio) {
    error = "cannot open the demo clip's encoders";
    return false;
  }
  AVCodecContext* v = e.video.get();
  v->width = spec.width;
  v->height = spec.height;
  v->pix_fmt = AV_PIX_FMT_YUV420P;
  v->time_base = av_inv_q(rate);
  v->framerate = rate;
  v->gop_size = spec.ntscRate ? 18 : 15;
  v->max_b_frames = 0;  // decoding order is display order: a group can be repeated as it is
  v->flags |= AV_CODEC_FLAG_CLOSED_GOP;
  av_opt_set_int(v->priv_data, "sc_threshold", 1000000000, 0);  // fixed groups, no scene cuts
  v->bit_rate = spec.kind == DemoClipKind::kDvdStream ? 1000000 : 1500000;
  if (spec.kind != DemoClipKind::kAviMpeg4) {
    v->rc_buffer_size = 1835008;  // the DVD and MPEG-1 system decoders' buffer
    v->rc_max_rate = 9000000;
  }
  if (spec.kind == DemoClipKind::kDvdStream) {
    v->sample_aspect_ratio = spec.ntscRate ? AVRational{8, 9} : AVRational{16, 15};
    e.mux->packet_size = 2048;
    av_opt_set_int(e.mux->priv_data, "muxrate", 10080000, 0);
  }
  if (e.mux->oformat->flags & AVFMT_GLOBALHEADER) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVCodecContext* a = e.audio.get();
  a->sample_rate = kSampleRate;
  a->bit_rate = 192000;
  a->sample_fmt = AV_SAMPLE_FMT_S16;
  av_channel_layout_default(&a->ch_layout, 2);
  a->time_base = AVRational{1, kSampleRate};
  if (e.mux->oformat->flags & AVFMT_GLOBALHEADER) a->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(v, videoCodec, nullptr) < 0 || avcodec_open2(a, audioCodec, nullptr) < 0) {
    error = "cannot open the demo clip's encoders";
    return false;
  }
  e.videoStream = avformat_new_stream(mux, nullptr);
  avcodec_parameters_from_context(e.videoStream->codecpar, v);
  e.videoStream->time_base = v->time_base;
  e.videoStream->sample_aspect_ratio = v->sample_aspect_ratio;
  e.audioStream = avformat_new_stream(mux, nullptr);
  avcodec_parameters_from_context(e.audioStream->codecpar, a);
  e.audioStream->time_base = a->time_base;
  if (avio_open(&mux->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(mux, nullptr) < 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

// Colour bars sliding one step a frame, turned by the hue.
void DrawFrame(AVFrame* f, int index, int hue) {
  static const int kBars[8][3] = {{235, 128, 128}, {210, 16, 146}, {170, 166, 16}, {145, 54, 34},
                                  {106, 202, 222}, {81, 90, 240},  {41, 240, 110}, {16, 128, 128}};
  const int barWidth = f->width / 8 > 0 ? f->width / 8 : 1;
  for (int y = 0; y < f->height; ++y)
    for (int x = 0; x < f->width; ++x)
      f->data[0][y * f->linesize[0] + x] = uint8_t(kBars[((x + index * 4) / barWidth + hue) % 8][0]);
  for (int y = 0; y < f->height / 2; ++y)
    for (int x = 0; x < f->width / 2; ++x) {
      const int* bar = kBars[((2 * x + index * 4) / barWidth + hue) % 8];
      f->data[1][y * f->linesize[1] + x] = uint8_t(bar[1]);
      f->data[2][y * f->linesize[2] + x] = uint8_t(bar[2]);
    }
}

bool Drain(AVCodecContext* c, AVFrame* frame, std::vector<PacketPtr>& out) {
  if (avcodec_send_frame(c, frame) < 0) return false;
  for (;;) {
    PacketPtr packet(av_packet_alloc());
    if (!packet) return false;
    int rc = avcodec_receive_packet(c, packet.get());
    if (rc < 0) return rc == AVERROR(EAGAIN) || rc == AVERROR_EOF;
    out.push_back(std::move(packet));
  }
}

bool Write(Encoders& e, AVPacket* packet, AVCodecContext* c, AVStream* s) {
  av_packet_rescale_ts(packet, c->time_base, s->time_base);
  packet->stream_index = s->index;
  return av_interleaved_write_frame(e.mux.get(), packet) >= 0;
}

bool WriteClip(Encoders& e, const DemoClipSpec& spec) {
  AVCodecContext* v = e.video.get();
  AVCodecContext* a = e.audio.get();
  const int64_t frames = int64_t(std::llround(spec.seconds * av_q2d(v->framerate)));
  const bool repeat = spec.kind == DemoClipKind::kDvdStream;
  const int64_t encodedFrames = repeat ? std::min<int64_t>(frames, v->gop_size) : frames;

  FramePtr picture(av_frame_alloc());
  FramePtr sound(av_frame_alloc());
  if (!picture || !sound) return false;
  picture->format = v->pix_fmt;
  picture->width = v->width;
  picture->height = v->height;
  sound->format = a->sample_fmt;
  sound->nb_samples = a->frame_size;
  sound->sample_rate = a->sample_rate;
  av_channel_layout_copy(&sound->ch_layout, &a->ch_layout);
  if (av_frame_get_buffer(picture.get(), 0) < 0 || av_frame_get_buffer(sound.get(), 0) < 0) return false;

  std::vector<PacketPtr> group;  // the video packets of the encoded frames
  bool ok = true;
  for (int64_t i = 0; i < encodedFrames && ok; ++i) {
    av_frame_make_writable(picture.get());
    DrawFrame(picture.get(), int(i), spec.hue);
    picture->pts = i;
    ok = Drain(v, picture.get(), group);
  }
  ok = ok && Drain(v, nullptr, group);
  // An encoder that gave nothing back has no group to repeat.
  ok = ok && (frames == 0 || !group.empty());

  int64_t samples = 0;
  std::vector<PacketPtr> audio;
  for (int64_t i = 0; i < frames && ok; ++i) {
    const AVPacket* source = group[size_t(i % int64_t(group.size()))].get();
    PacketPtr packet(av_packet_clone(source));
    if (!packet) return false;
    const int64_t shift = (i / int64_t(group.size())) * int64_t(group.size());
    packet->pts = source->pts + shift;
    packet->dts = source->dts + shift;
    ok = Write(e, packet.get(), v, e.videoStream);
    // Sound up to the end of this picture: a 440 Hz tone.
    const int64_t due = av_rescale_q(i + 1, v->time_base, AVRational{1, kSampleRate});
    while (ok && samples < due) {
      av_frame_make_writable(sound.get());
      auto* pcm = reinterpret_cast<int16_t*>(sound->data[0]);
      for (int s = 0; s < sound->nb_samples; ++s) {
        const int16_t value = int16_t(3000 * std::sin(2 * M_PI * 440 * double(samples + s) / kSampleRate));
        pcm[2 * s] = pcm[2 * s + 1] = value;
      }
      sound->pts = samples;
      samples += sound->nb_samples;
      ok = Drain(a, sound.get(), audio);
      for (const PacketPtr& p : audio) ok = ok && Write(e, p.get(), a, e.audioStream);
      audio.clear();
    }
  }
  ok = ok && Drain(a, nullptr, audio);
  for (const PacketPtr& p : audio) ok = ok && Write(e, p.get(), a, e.audioStream);
  return av_write_trailer(e.mux.get()) >= 0 && ok;
}

}  // namespace

bool MakeDemoClip(const std::string& path, const DemoClipSpec& spec, std::string& error) {
  RouteFfmpegLog();
  PendingFile part;
  if (!part.Create(path)) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  {
    Encoders encoders;
    if (!OpenEncoders(encoders, part.Path(), spec, error) || !WriteClip(encoders, spec)) {
      if (error.empty()) error = "cannot encode " + path;
      return false;
    }
  }
  if (part.Commit()) return true;
  error = "cannot write " + path + ": " + std::strerror(errno);
  return false;
}

}  // namespace vantrel
