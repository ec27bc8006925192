// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/still_movie.h"

#include "base/atomic_file.h"
#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"

#include <cstring>
#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace vantrel {
namespace {

struct Resources {
  InputPtr picture;
  InputPtr sound;
  OutputPtr mux;
  CodecPtr decoder;
  CodecPtr encoder;
  FramePtr decoded;
  FramePtr frame;
  PacketPtr packet;
};

InputPtr OpenInput(const std::string& path) {
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return nullptr;
  InputPtr input(raw);
  if (avformat_find_stream_info(raw, nullptr) < 0) return nullptr;
  return input;
}

// The first picture of the file, decoded.
bool DecodePicture(Resources& r, const std::string& path, std::string& error) {
  r.picture = OpenInput(path);
  if (!r.picture) {
    error = "cannot read the picture " + path;
    return false;
  }
  int index = av_find_best_stream(r.picture.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) {
    error = path + " holds no picture";
    return false;
  }
  const AVCodec* codec = avcodec_find_decoder(r.picture->streams[index]->codecpar->codec_id);
  r.decoder.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
  if (!r.decoder || avcodec_parameters_to_context(r.decoder.get(), r.picture->streams[index]->codecpar) < 0 ||
      avcodec_open2(r.decoder.get(), codec, nullptr) < 0) {
    error = "no decoder for " + path;
    return false;
  }
  r.decoded.reset(av_frame_alloc());
  r.packet.reset(av_packet_alloc());
  if (!r.decoded || !r.packet) {
    error = "out of memory decoding " + path;
    return false;
  }
  while (av_read_frame(r.picture.get(), r.packet.get()) >= 0) {
    const bool ours = r.packet->stream_index == index;
    if (ours) avcodec_send_packet(r.decoder.get(), r.packet.get());
    av_packet_unref(r.packet.get());
    if (ours && avcodec_receive_frame(r.decoder.get(), r.decoded.get()) == 0) return true;
  }
  avcodec_send_packet(r.decoder.get(), nullptr);
  if (avcodec_receive_frame(r.decoder.get(), r.decoded.get()) == 0) return true;
  error = "cannot decode the picture " + path;
  return false;
}

bool OpenOutput(Resources& r, const StillMovie& movie, const std::string& path, AVStream*& video,
                AVStream*& audio, int& soundIndex, std::string& error) {
  AVFormatContext* mux = nullptr;
  avformat_alloc_output_context2(&mux, nullptr, "dvd", path.c_str());
  r.mux.reset(mux);
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
  if (!r.mux || !codec) {
    error = "no DVD muxer or MPEG-2 encoder";
    return false;
  }
  r.mux->packet_size = 2048;
  av_opt_set_int(r.mux->priv_data, "muxrate", 10080000, 0);
  r.encoder.reset(avcodec_alloc_context3(codec));
  AVCodecContext* e = r.encoder.get();
  if (!e) {
    error = "cannot open the MPEG-2 encoder";
    return false;
  }
  e->width = 720;
  e->height = movie.ntsc ? 480 : 576;
  e->pix_fmt = AV_PIX_FMT_YUV420P;
  e->framerate = movie.ntsc ? AVRational{30000, 1001} : AVRational{25, 1};
  e->time_base = av_inv_q(e->framerate);
  e->sample_aspect_ratio = movie.ntsc ? AVRational{8, 9} : AVRational{16, 15};
  e->gop_size = movie.ntsc ? 18 : 15;
  e->bit_rate = 6000000;
  e->rc_max_rate = 9000000;
  e->rc_buffer_size = 1835008;
  if (avcodec_open2(e, codec, nullptr) < 0) {
    error = "cannot open the MPEG-2 encoder";
    return false;
  }
  video = avformat_new_stream(mux, nullptr);
  avcodec_parameters_from_context(video->codecpar, e);
  video->time_base = e->time_base;
  video->sample_aspect_ratio = e->sample_aspect_ratio;
  soundIndex = -1;
  audio = nullptr;
  if (!movie.sound.empty()) {
    r.sound = OpenInput(movie.sound);
    if (!r.sound ||
        (soundIndex = av_find_best_stream(r.sound.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)) < 0) {
      error = "cannot read the sound " + movie.sound;
      return false;
    }
    audio = avformat_new_stream(mux, nullptr);
    avcodec_parameters_copy(audio->codecpar, r.sound->streams[soundIndex]->codecpar);
    audio->codecpar->codec_tag = 0;
    audio->time_base = r.sound->streams[soundIndex]->time_base;
  }
  if (avio_open(&mux->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(mux, nullptr) < 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool WriteEncoded(Resources& r, AVFrame* frame, AVStream* video) {
  if (avcodec_send_frame(r.encoder.get(), frame) < 0) return false;
  PacketPtr out(av_packet_alloc());
  if (!out) return false;
  bool ok = true;
  while (avcodec_receive_packet(r.encoder.get(), out.get()) == 0) {
    av_packet_rescale_ts(out.get(), r.encoder->time_base, video->time_base);
    out->stream_index = video->index;
    ok = av_interleaved_write_frame(r.mux.get(), out.get()) >= 0 && ok;
  }
  return ok;
}

bool Render(const StillMovie& movie, const std::string& path, std::string& error) {
  Resources r;
  AVStream* video = nullptr;
  AVStream* audio = nullptr;
  int soundIndex = -1;
  if (!DecodePicture(r, movie.picture, error) ||
      !OpenOutput(r, movie, path, video, audio, soundIndex, error))
    return false;
  // The picture stretched over the frame, as the page was drawn for it.
  r.frame.reset(av_frame_alloc());
  if (!r.frame) {
    error = "out of memory for the picture";
    return false;
  }
  r.frame->format = AV_PIX_FMT_YUV420P;
  r.frame->width = r.encoder->width;
  r.frame->height = r.encoder->height;
  SwsPtr scale(sws_getContext(r.decoded->width, r.decoded->height, AVPixelFormat(r.decoded->format),
                              r.frame->width, r.frame->height, AV_PIX_FMT_YUV420P, SWS_BICUBIC,
                              nullptr, nullptr, nullptr));
  if (!scale || av_frame_get_buffer(r.frame.get(), 0) < 0) {
    error = "cannot scale the picture";
    return false;
  }
  sws_scale(scale.get(), r.decoded->data, r.decoded->linesize, 0, r.decoded->height, r.frame->data,
            r.frame->linesize);

  const int frames = int(movie.seconds * av_q2d(r.encoder->framerate) + 0.5);
  const double end = movie.seconds;
  bool ok = true;
  bool soundLeft = audio != nullptr;
  for (int i = 0; i < frames && ok; ++i) {
    av_frame_make_writable(r.frame.get());
    r.frame->pts = i;
    ok = WriteEncoded(r, r.frame.get(), video);
    // The sound up to the end of this picture, packet for packet.
    const double until = double(i + 1) / av_q2d(r.encoder->framerate);
    while (ok && soundLeft) {
      if (av_read_frame(r.sound.get(), r.packet.get()) < 0) {
        soundLeft = false;
        break;
      }
      if (r.packet->stream_index != soundIndex) {
        av_packet_unref(r.packet.get());
        continue;
      }
      const double at = double(r.packet->pts) * av_q2d(r.sound->streams[soundIndex]->time_base);
      if (at >= end) soundLeft = false;
      if (soundLeft) {
        av_packet_rescale_ts(r.packet.get(), r.sound->streams[soundIndex]->time_base, audio->time_base);
        r.packet->stream_index = audio->index;
        ok = av_interleaved_write_frame(r.mux.get(), r.packet.get()) >= 0;
      }
      av_packet_unref(r.packet.get());
      if (at >= until) break;
    }
  }
  ok = ok && WriteEncoded(r, nullptr, video);
  ok = av_write_trailer(r.mux.get()) >= 0 && ok;
  if (!ok && error.empty()) error = "cannot write " + path;
  return ok;
}

}  // namespace

bool RenderStillMovie(const StillMovie& movie, const std::string& output, std::string& error) {
  RouteFfmpegLog();
  PendingFile part;
  if (!part.Create(output)) {
    error = "cannot write " + output + ": " + std::strerror(errno);
    return false;
  }
  if (!Render(movie, part.Path(), error)) return false;
  if (part.Commit()) return true;
  error = "cannot write " + output + ": " + std::strerror(errno);
  return false;
}

}  // namespace vantrel
