// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/menu_movie.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/atomic_file.h"
#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"
#include "convert/menu_sound.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace vantrel {

struct MenuMovieWriter::Film {
  PendingFile part;
  OutputPtr mux;
  CodecPtr video, audio;
  AVStream* videoStream = nullptr;
  AVStream* audioStream = nullptr;
  FramePtr picture, sound;
  PacketPtr packet;
  SwsContext* toYuv = nullptr;
  std::vector<std::int16_t> samples;
  std::size_t soundDone = 0;  // sample frames encoded
  std::int64_t pictures = 0;
  bool ntsc = false;

  ~Film() { sws_freeContext(toYuv); }

  bool Drain(AVCodecContext* c, AVStream* s, const AVFrame* frame) {
    if (avcodec_send_frame(c, frame) < 0) return false;
    for (;;) {
      const int got = avcodec_receive_packet(c, packet.get());
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
      if (got < 0) return false;
      av_packet_rescale_ts(packet.get(), c->time_base, s->time_base);
      packet->stream_index = s->index;
      if (av_interleaved_write_frame(mux.get(), packet.get()) < 0) return false;
    }
  }

  // Encodes the sound up to `until` sample frames; the last piece is padded with silence.
  bool SoundUntil(std::size_t until) {
    const std::size_t total = samples.size() / kMenuSoundChannels;
    until = std::min(until, total);
    const auto size = std::size_t(audio->frame_size);
    while (soundDone < until) {
      if (av_frame_make_writable(sound.get()) < 0) return false;
      const std::size_t take = std::min(size, total - soundDone);
      const std::int16_t* from = samples.data() + soundDone * kMenuSoundChannels;
      if (sound->format == AV_SAMPLE_FMT_S16) {
        auto* pcm = reinterpret_cast<std::int16_t*>(sound->data[0]);
        std::memcpy(pcm, from, take * kMenuSoundChannels * 2);
        std::fill(pcm + take * kMenuSoundChannels, pcm + size * kMenuSoundChannels, std::int16_t(0));
      } else {  // planar float, as the AC-3 encoder takes it
        for (int c = 0; c < kMenuSoundChannels; ++c) {
          auto* plane = reinterpret_cast<float*>(sound->extended_data[c]);
          for (std::size_t i = 0; i < size; ++i)
            plane[i] = i < take ? float(from[i * kMenuSoundChannels + std::size_t(c)]) / 32768.0f : 0.0f;
        }
      }
      sound->pts = std::int64_t(soundDone);
      soundDone += size;
      if (!Drain(audio.get(), audioStream, sound.get())) return false;
    }
    return true;
  }
};

MenuMovieWriter::MenuMovieWriter() = default;
MenuMovieWriter::~MenuMovieWriter() = default;

int MenuMovieWriter::Height() const { return film_ && film_->ntsc ? 480 : 576; }
double MenuMovieWriter::FrameRate() const { return film_ && film_->ntsc ? 30000.0 / 1001 : 25.0; }

bool MenuMovieWriter::Open(const std::string& path, const MenuFilmFormat& format, std::vector<std::int16_t> sound,
                           std::string& error) {
  RouteFfmpegLog();
  auto f = std::make_unique<Film>();
  f->ntsc = format.ntsc;
  f->samples = std::move(sound);
  if (!f->part.Create(path)) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  AVFormatContext* mux = nullptr;
  avformat_alloc_output_context2(&mux, nullptr, "dvd", f->part.Path().c_str());
  f->mux.reset(mux);
  const AVCodec* videoCodec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
  const AVCodec* audioCodec =
      avcodec_find_encoder(format.sound == AudioCodec::Ac3 ? AV_CODEC_ID_AC3 : AV_CODEC_ID_MP2);
  if (!mux || !videoCodec || !audioCodec) {
    error = "the FFmpeg libraries lack the DVD muxer or an encoder";
    return false;
  }
  mux->packet_size = 2048;
  av_opt_set_int(mux->priv_data, "muxrate", 10080000, 0);
  f->video.reset(avcodec_alloc_context3(videoCodec));
  f->audio.reset(avcodec_alloc_context3(audioCodec));
  f->picture.reset(av_frame_alloc());
  f->sound.reset(av_frame_alloc());
  f->packet.reset(av_packet_alloc());
  if (!f->video || !f->audio || !f->picture || !f->sound || !f->packet) {
    error = "out of memory for the menu film";
    return false;
  }
  AVCodecContext* v = f->video.get();
  v->width = 720;
  v->height = format.ntsc ? 480 : 576;
  v->pix_fmt = AV_PIX_FMT_YUV420P;
  v->framerate = format.ntsc ? AVRational{30000, 1001} : AVRational{25, 1};
  v->time_base = av_inv_q(v->framerate);
  v->sample_aspect_ratio = format.ntsc ? AVRational{8, 9} : AVRational{16, 15};
  v->gop_size = format.ntsc ? 18 : 15;
  v->max_b_frames = 2;
  // Every group stands on its own, so the film can start again at its first picture.
  v->flags |= AV_CODEC_FLAG_CLOSED_GOP;
  av_opt_set_int(v->priv_data, "sc_threshold", 1000000000, 0);  // the encoder's condition for closed groups
  v->bit_rate = kMenuFilmVideoRate;
  v->rc_max_rate = kMenuFilmVideoMaxRate;
  v->rc_buffer_size = 1835008;
  v->thread_count = format.threads;
  AVCodecContext* a = f->audio.get();
  a->sample_rate = kMenuSoundRate;
  a->bit_rate = kMenuFilmSoundRate;
  a->sample_fmt = format.sound == AudioCodec::Ac3 ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
  av_channel_layout_default(&a->ch_layout, kMenuSoundChannels);
  a->time_base = AVRational{1, kMenuSoundRate};
  if (avcodec_open2(v, videoCodec, nullptr) < 0 || avcodec_open2(a, audioCodec, nullptr) < 0) {
    error = "cannot open the menu film's encoders";
    return false;
  }
  f->videoStream = avformat_new_stream(mux, nullptr);
  f->audioStream = avformat_new_stream(mux, nullptr);
  if (!f->videoStream || !f->audioStream) {
    error = "out of memory for the menu film";
    return false;
  }
  avcodec_parameters_from_context(f->videoStream->codecpar, v);
  f->videoStream->time_base = v->time_base;
  f->videoStream->sample_aspect_ratio = v->sample_aspect_ratio;
  avcodec_parameters_from_context(f->audioStream->codecpar, a);
  f->audioStream->time_base = a->time_base;
  f->picture->format = v->pix_fmt;
  f->picture->width = v->width;
  f->picture->height = v->height;
  f->sound->format = a->sample_fmt;
  f->sound->nb_samples = a->frame_size;
  f->sound->sample_rate = kMenuSoundRate;
  av_channel_layout_copy(&f->sound->ch_layout, &a->ch_layout);
  if (av_frame_get_buffer(f->picture.get(), 0) < 0 || av_frame_get_buffer(f->sound.get(), 0) < 0 ||
      avio_open(&mux->pb, f->part.Path().c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(mux, nullptr) < 0) {
    error = "cannot write " + path;
    return false;
  }
  film_ = std::move(f);
  return true;
}

bool MenuMovieWriter::AddPicture(const RgbImage& picture, std::string& error) {
  Film& f = *film_;
  AVCodecContext* v = f.video.get();
  if (picture.width != v->width || picture.height != v->height) {
    error = "a menu picture of the wrong size";
    return false;
  }
  f.toYuv = sws_getCachedContext(f.toYuv, picture.width, picture.height, AV_PIX_FMT_RGB24, v->width, v->height,
                                 AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (!f.toYuv || av_frame_make_writable(f.picture.get()) < 0) {
    error = "cannot convert the menu picture";
    return false;
  }
  const std::uint8_t* rows[4] = {picture.pixels.data(), nullptr, nullptr, nullptr};
  const int strides[4] = {picture.width * 3, 0, 0, 0};
  sws_scale(f.toYuv, rows, strides, 0, picture.height, f.picture->data, f.picture->linesize);
  f.picture->pts = f.pictures++;
  const auto until = std::size_t(av_rescale_q(f.pictures, v->time_base, AVRational{1, kMenuSoundRate}));
  if (!f.Drain(v, f.videoStream, f.picture.get()) || !f.SoundUntil(until)) {
    error = "cannot write the menu film";
    return false;
  }
  return true;
}

bool MenuMovieWriter::Finish(std::string& error) {
  Film& f = *film_;
  bool ok = f.Drain(f.video.get(), f.videoStream, nullptr) && f.SoundUntil(f.samples.size()) &&
            f.Drain(f.audio.get(), f.audioStream, nullptr);
  ok = av_write_trailer(f.mux.get()) >= 0 && ok;
  f.mux.reset();  // closes the file before it is renamed
  if (!ok) {
    error = "cannot write the menu film";
    return false;
  }
  if (!f.part.Commit()) {
    error = std::string("cannot write the menu film: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace vantrel
