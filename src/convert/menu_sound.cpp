// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/menu_sound.h"

#include <algorithm>
#include <cmath>

#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace vantrel {
namespace {

struct SoundReader {
  InputPtr input;
  CodecPtr codec;
  SwrPtr resample;
  FramePtr frame;
  PacketPtr packet;
  int stream = -1;
};

bool OpenSound(SoundReader& r, const std::string& path, std::string& error) {
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) {
    error = "cannot read " + path;
    return false;
  }
  r.input.reset(raw);
  const AVCodec* codec = nullptr;
  if (avformat_find_stream_info(raw, nullptr) < 0 ||
      (r.stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0)) < 0 || !codec) {
    error = path + " holds no sound that can be decoded";
    return false;
  }
  r.codec.reset(avcodec_alloc_context3(codec));
  r.frame.reset(av_frame_alloc());
  r.packet.reset(av_packet_alloc());
  if (!r.codec || !r.frame || !r.packet ||
      avcodec_parameters_to_context(r.codec.get(), raw->streams[r.stream]->codecpar) < 0 ||
      avcodec_open2(r.codec.get(), codec, nullptr) < 0) {
    error = "no decoder for the sound of " + path;
    return false;
  }
  return true;
}

// Converts one decoded frame (or, with null, what the resampler still holds) and appends it.
bool Append(SoundReader& r, const AVFrame* frame, std::vector<std::int16_t>& out, std::size_t limit) {
  if (!r.resample) {
    AVChannelLayout stereo;
    av_channel_layout_default(&stereo, kMenuSoundChannels);
    AVChannelLayout in;
    if (r.codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || r.codec->ch_layout.nb_channels == 0)
      av_channel_layout_default(&in, std::max(1, r.codec->ch_layout.nb_channels));
    else
      av_channel_layout_copy(&in, &r.codec->ch_layout);
    SwrContext* raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &stereo, AV_SAMPLE_FMT_S16, kMenuSoundRate, &in, r.codec->sample_fmt,
                                         r.codec->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    r.resample.reset(raw);
    if (made < 0 || swr_init(raw) < 0) return false;
  }
  const int inSamples = frame ? frame->nb_samples : 0;
  const int room = swr_get_out_samples(r.resample.get(), inSamples);
  if (room <= 0) return true;
  std::vector<std::int16_t> chunk(std::size_t(room) * kMenuSoundChannels);
  auto* target = reinterpret_cast<std::uint8_t*>(chunk.data());
  const int made = swr_convert(r.resample.get(), &target, room,
                               frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr, inSamples);
  if (made < 0) return false;
  const std::size_t take = std::min(std::size_t(made) * kMenuSoundChannels, limit - std::min(limit, out.size()));
  out.insert(out.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(take));
  return true;
}

bool Decode(SoundReader& r, std::vector<std::int16_t>& out, std::size_t limit, std::string& error) {
  bool drained = false;
  while (out.size() < limit) {
    const int got = avcodec_receive_frame(r.codec.get(), r.frame.get());
    if (got == 0) {
      if (!Append(r, r.frame.get(), out, limit)) {
        error = "cannot convert the sound";
        return false;
      }
      continue;
    }
    if (got == AVERROR_EOF) break;
    if (got != AVERROR(EAGAIN)) {
      error = "cannot decode the sound";
      return false;
    }
    if (drained) break;
    if (av_read_frame(r.input.get(), r.packet.get()) < 0) {
      drained = true;
      avcodec_send_packet(r.codec.get(), nullptr);
      continue;
    }
    if (r.packet->stream_index == r.stream) avcodec_send_packet(r.codec.get(), r.packet.get());
    av_packet_unref(r.packet.get());
  }
  if (out.size() < limit && r.resample) Append(r, nullptr, out, limit);
  return true;
}

}  // namespace

void FadeOut(std::vector<std::int16_t>& samples, double fadeSeconds) {
  const std::size_t frames = samples.size() / kMenuSoundChannels;
  const std::size_t fade = std::min(frames, std::size_t(std::max(0.0, fadeSeconds) * kMenuSoundRate));
  for (std::size_t i = 0; i < fade; ++i) {
    const double gain = double(fade - i - 1) / double(fade);
    for (int c = 0; c < kMenuSoundChannels; ++c) {
      std::int16_t& s = samples[(frames - fade + i) * kMenuSoundChannels + std::size_t(c)];
      s = std::int16_t(std::lround(s * gain));
    }
  }
}

bool MenuSoundSamples(const std::string& path, double seconds, std::vector<std::int16_t>& samples,
                      std::string& error) {
  RouteFfmpegLog();
  const std::size_t total = std::size_t(std::llround(std::max(0.0, seconds) * kMenuSoundRate)) * kMenuSoundChannels;
  samples.clear();
  if (!path.empty()) {
    SoundReader reader;
    if (!OpenSound(reader, path, error) || !Decode(reader, samples, total, error)) return false;
    if (samples.empty()) {
      error = path + " holds no sound that can be decoded";
      return false;
    }
  }
  // Music shorter than the film ends in silence; longer music is cut and faded.
  const bool cut = samples.size() >= total;
  samples.resize(total, 0);
  if (cut) FadeOut(samples, std::min(kMenuFadeSeconds, seconds / 4));
  return true;
}

}  // namespace vantrel
