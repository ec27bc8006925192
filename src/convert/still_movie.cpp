#include "convert/still_movie.h"

#include "base/atomic_file.h"
#include "base/ffmpeg_log.h"

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
  AVFormatContext* picture = nullptr;
  AVFormatContext* sound = nullptr;
  AVFormatContext* mux = nullptr;
  AVCodecContext* decoder = nullptr;
  AVCodecContext* encoder = nullptr;
  AVFrame* decoded = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  ~Resources() {
    avformat_close_input(&picture);
    avformat_close_input(&sound);
    if (mux && mux->pb) avio_closep(&mux->pb);
    avformat_free_context(mux);
    avcodec_free_context(&decoder);
    avcodec_free_context(&encoder);
    av_frame_free(&decoded);
    av_frame_free(&frame);
    av_packet_free(&packet);
  }
};

// The first picture of the file, decoded.
bool DecodePicture(Resources& r, const std::string& path, std::string& error) {
  if (avformat_open_input(&r.picture, path.c_str(), nullptr, nullptr) < 0 ||
      avformat_find_stream_info(r.picture, nullptr) < 0) {
    error = "cannot read the picture " + path;
    return false;
  }
  int index = av_find_best_stream(r.picture, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) {
    error = path + " holds no picture";
    return false;
  }
  const AVCodec* codec = avcodec_find_decoder(r.picture->streams[index]->codecpar->codec_id);
  r.decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
  if (!r.decoder || avcodec_parameters_to_context(r.decoder, r.picture->streams[index]->codecpar) < 0 ||
      avcodec_open2(r.decoder, codec, nullptr) < 0) {
    error = "no decoder for " + path;
    return false;
  }
  r.decoded = av_frame_alloc();
  r.packet = av_packet_alloc();
  while (av_read_frame(r.picture, r.packet) >= 0) {
    const bool ours = r.packet->stream_index == index;
    if (ours) avcodec_send_packet(r.decoder, r.packet);
    av_packet_unref(r.packet);
    if (ours && avcodec_receive_frame(r.decoder, r.decoded) == 0) return true;
  }
  avcodec_send_packet(r.decoder, nullptr);
  if (avcodec_receive_frame(r.decoder, r.decoded) == 0) return true;
  error = "cannot decode the picture " + path;
  return false;
}

bool OpenOutput(Resources& r, const StillMovie& movie, const std::string& path, AVStream*& video,
                AVStream*& audio, int& soundIndex, std::string& error) {
  avformat_alloc_output_context2(&r.mux, nullptr, "dvd", path.c_str());
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
  if (!r.mux || !codec) {
    error = "no DVD muxer or MPEG-2 encoder";
    return false;
  }
  r.mux->packet_size = 2048;
  av_opt_set_int(r.mux->priv_data, "muxrate", 10080000, 0);
  AVCodecContext* e = r.encoder = avcodec_alloc_context3(codec);
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
  video = avformat_new_stream(r.mux, nullptr);
  avcodec_parameters_from_context(video->codecpar, e);
  video->time_base = e->time_base;
  video->sample_aspect_ratio = e->sample_aspect_ratio;
  soundIndex = -1;
  audio = nullptr;
  if (!movie.sound.empty()) {
    if (avformat_open_input(&r.sound, movie.sound.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(r.sound, nullptr) < 0 ||
        (soundIndex = av_find_best_stream(r.sound, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)) < 0) {
      error = "cannot read the sound " + movie.sound;
      return false;
    }
    audio = avformat_new_stream(r.mux, nullptr);
    avcodec_parameters_copy(audio->codecpar, r.sound->streams[soundIndex]->codecpar);
    audio->codecpar->codec_tag = 0;
    audio->time_base = r.sound->streams[soundIndex]->time_base;
  }
  if (avio_open(&r.mux->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(r.mux, nullptr) < 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool WriteEncoded(Resources& r, AVFrame* frame, AVStream* video) {
  if (avcodec_send_frame(r.encoder, frame) < 0) return false;
  AVPacket* out = av_packet_alloc();
  bool ok = true;
  while (avcodec_receive_packet(r.encoder, out) == 0) {
    av_packet_rescale_ts(out, r.encoder->time_base, video->time_base);
    out->stream_index = video->index;
    ok = av_interleaved_write_frame(r.mux, out) >= 0 && ok;
  }
  av_packet_free(&out);
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
  r.frame = av_frame_alloc();
  r.frame->format = AV_PIX_FMT_YUV420P;
  r.frame->width = r.encoder->width;
  r.frame->height = r.encoder->height;
  av_frame_get_buffer(r.frame, 0);
  SwsContext* scale = sws_getContext(r.decoded->width, r.decoded->height, AVPixelFormat(r.decoded->format),
                                     r.frame->width, r.frame->height, AV_PIX_FMT_YUV420P, SWS_BICUBIC,
                                     nullptr, nullptr, nullptr);
  if (!scale) {
    error = "cannot scale the picture";
    return false;
  }
  sws_scale(scale, r.decoded->data, r.decoded->linesize, 0, r.decoded->height, r.frame->data, r.frame->linesize);
  sws_freeContext(scale);

  const int frames = int(movie.seconds * av_q2d(r.encoder->framerate) + 0.5);
  const double end = movie.seconds;
  bool ok = true;
  bool soundLeft = audio != nullptr;
  for (int i = 0; i < frames && ok; ++i) {
    av_frame_make_writable(r.frame);
    r.frame->pts = i;
    ok = WriteEncoded(r, r.frame, video);
    // The sound up to the end of this picture, packet for packet.
    const double until = double(i + 1) / av_q2d(r.encoder->framerate);
    while (ok && soundLeft) {
      if (av_read_frame(r.sound, r.packet) < 0) {
        soundLeft = false;
        break;
      }
      if (r.packet->stream_index != soundIndex) {
        av_packet_unref(r.packet);
        continue;
      }
      const double at = double(r.packet->pts) * av_q2d(r.sound->streams[soundIndex]->time_base);
      if (at >= end) soundLeft = false;
      if (soundLeft) {
        av_packet_rescale_ts(r.packet, r.sound->streams[soundIndex]->time_base, audio->time_base);
        r.packet->stream_index = audio->index;
        ok = av_interleaved_write_frame(r.mux, r.packet) >= 0;
      }
      av_packet_unref(r.packet);
      if (at >= until) break;
    }
  }
  ok = ok && WriteEncoded(r, nullptr, video);
  ok = av_write_trailer(r.mux) >= 0 && ok;
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
