// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: makes the media files that ship beside the program, from nothing, with the
// FFmpeg libraries: silence.mp2 (the silent track of every menu stream) and bn.mpg / bp.mpg
// (the black NTSC and PAL clips of a disc without a menu).
//   make_media OUTPUT_FOLDER
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>

#include "base/atomic_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace {

constexpr int kSampleRate = 48000;
constexpr int kAudioBitRate = 192000;
// Long enough that the stream of a plain one-colour menu page is well over the size the
// menu chain takes as proof of a good stream (a still alone is only some 17 KB).
constexpr int kSilenceSeconds = 5;
constexpr int kClipSeconds = 1;

bool Fail(const char* what) {
  std::fprintf(stderr, "make_media: %s\n", what);
  return false;
}

AVCodecContext* OpenAudioEncoder(AVCodecID id) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (!codec) return nullptr;
  AVCodecContext* c = avcodec_alloc_context3(codec);
  c->sample_rate = kSampleRate;
  c->bit_rate = kAudioBitRate;
  c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  av_channel_layout_default(&c->ch_layout, 2);
  c->time_base = AVRational{1, kSampleRate};
  if (avcodec_open2(c, codec, nullptr) < 0) avcodec_free_context(&c);
  return c;
}

AVFrame* SilentFrame(const AVCodecContext* c) {
  AVFrame* frame = av_frame_alloc();
  frame->format = c->sample_fmt;
  frame->nb_samples = c->frame_size;
  frame->sample_rate = c->sample_rate;
  av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
  av_frame_get_buffer(frame, 0);
  av_samples_set_silence(frame->extended_data, 0, frame->nb_samples, c->ch_layout.nb_channels,
                         AVSampleFormat(frame->format));
  return frame;
}

// Sends a frame (nullptr drains) and hands every finished packet to `sink`.
template <typename Sink>
bool Encode(AVCodecContext* c, AVFrame* frame, Sink sink) {
  if (avcodec_send_frame(c, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  bool ok = true;
  for (;;) {
    int rc = avcodec_receive_packet(c, packet);
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) break;
    if (rc < 0) {
      ok = false;
      break;
    }
    ok = sink(packet) && ok;
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  return ok;
}

bool MakeSilence(const std::string& path) {
  AVCodecContext* c = OpenAudioEncoder(AV_CODEC_ID_MP2);
  if (!c) return Fail("no MPEG-1 Layer II encoder");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return Fail("cannot write silence.mp2");
  AVFrame* frame = SilentFrame(c);
  auto write = [out](AVPacket* p) { return std::fwrite(p->data, 1, size_t(p->size), out) == size_t(p->size); };
  bool ok = true;
  for (int64_t samples = 0; samples < int64_t(kSilenceSeconds) * kSampleRate; samples += c->frame_size) {
    frame->pts = samples;
    ok = Encode(c, frame, write) && ok;
  }
  ok = Encode(c, nullptr, write) && ok;
  av_frame_free(&frame);
  avcodec_free_context(&c);
  return std::fclose(out) == 0 && ok;
}

struct ClipFormat {
  int width, height;
  AVRational frameRate;
  AVRational sampleAspect;  // 4:3 display
  int gop;
};

bool MakeBlackClip(const std::string& path, const ClipFormat& f) {
  AVFormatContext* mux = nullptr;
  if (avformat_alloc_output_context2(&mux, nullptr, "dvd", path.c_str()) < 0) return Fail("no dvd muxer");
  mux->packet_size = 2048;
  av_opt_set_int(mux->priv_data, "muxrate", 10080000, 0);

  const AVCodec* videoCodec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
  if (!videoCodec) return Fail("no MPEG-2 video encoder");
  AVCodecContext* v = avcodec_alloc_context3(videoCodec);
  v->width = f.width;
  v->height = f.height;
  v->pix_fmt = AV_PIX_FMT_YUV420P;
  v->time_base = av_inv_q(f.frameRate);
  v->framerate = f.frameRate;
  v->sample_aspect_ratio = f.sampleAspect;
  v->gop_size = f.gop;
  v->max_b_frames = 2;
  v->bit_rate = 4000000;
  v->rc_max_rate = 9000000;
  v->rc_min_rate = 0;
  v->rc_buffer_size = 1835008;
  if (mux->oformat->flags & AVFMT_GLOBALHEADER) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(v, videoCodec, nullptr) < 0) return Fail("cannot open the MPEG-2 encoder");
  AVCodecContext* a = OpenAudioEncoder(AV_CODEC_ID_AC3);
  if (!a) return Fail("no AC-3 encoder");

  AVStream* videoStream = avformat_new_stream(mux, nullptr);
  avcodec_parameters_from_context(videoStream->codecpar, v);
  videoStream->time_base = v->time_base;
  videoStream->sample_aspect_ratio = f.sampleAspect;
  AVStream* audioStream = avformat_new_stream(mux, nullptr);
  avcodec_parameters_from_context(audioStream->codecpar, a);
  audioStream->time_base = a->time_base;

  if (avio_open(&mux->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail("cannot write a clip");
  if (avformat_write_header(mux, nullptr) < 0) return Fail("cannot start a clip");

  auto sinkFor = [mux](AVCodecContext* c, AVStream* s) {
    return [mux, c, s](AVPacket* p) {
      av_packet_rescale_ts(p, c->time_base, s->time_base);
      p->stream_index = s->index;
      return av_interleaved_write_frame(mux, p) >= 0;
    };
  };
  auto videoSink = sinkFor(v, videoStream);
  auto audioSink = sinkFor(a, audioStream);

  AVFrame* picture = av_frame_alloc();
  picture->format = v->pix_fmt;
  picture->width = v->width;
  picture->height = v->height;
  av_frame_get_buffer(picture, 0);
  std::memset(picture->data[0], 16, size_t(picture->linesize[0]) * size_t(v->height));  // black
  std::memset(picture->data[1], 128, size_t(picture->linesize[1]) * size_t(v->height / 2));
  std::memset(picture->data[2], 128, size_t(picture->linesize[2]) * size_t(v->height / 2));
  AVFrame* sound = SilentFrame(a);

  bool ok = true;
  const int frames = int(av_q2d(f.frameRate) * kClipSeconds + 0.5);
  const int64_t samplesWanted = int64_t(kClipSeconds) * kSampleRate;
  int64_t samples = 0;
  for (int i = 0; i < frames; ++i) {
    picture->pts = i;
    ok = Encode(v, picture, videoSink) && ok;
    // Keep the audio level with the video so the muxer can interleave.
    const int64_t due = av_rescale_q(i + 1, v->time_base, AVRational{1, kSampleRate});
    while (samples < std::min(due, samplesWanted)) {
      sound->pts = samples;
      ok = Encode(a, sound, audioSink) && ok;
      samples += a->frame_size;
    }
  }
  ok = Encode(v, nullptr, videoSink) && ok;
  ok = Encode(a, nullptr, audioSink) && ok;
  ok = av_write_trailer(mux) >= 0 && ok;
  avio_closep(&mux->pb);
  av_frame_free(&picture);
  av_frame_free(&sound);
  avcodec_free_context(&v);
  avcodec_free_context(&a);
  avformat_free_context(mux);
  return ok;
}

// Writes under a temporary name first, so a failed build leaves no half file behind.
template <typename Maker>
bool Make(const std::string& folder, const char* name, Maker maker) {
  const std::string final = folder + "/" + name;
  vantrel::PendingFile part;
  if (!part.Create(final) || !maker(part.Path()) || !part.Commit()) {
    std::fprintf(stderr, "make_media: could not make %s\n", final.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_media OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  av_log_set_level(AV_LOG_ERROR);
  const std::string folder = argv[1];
  const ClipFormat ntsc{720, 480, {30000, 1001}, {8, 9}, 18};
  const ClipFormat pal{720, 576, {25, 1}, {16, 15}, 15};
  bool ok = Make(folder, "silence.mp2", MakeSilence);
  ok = Make(folder, "bn.mpg", [&](const std::string& p) { return MakeBlackClip(p, ntsc); }) && ok;
  ok = Make(folder, "bp.mpg", [&](const std::string& p) { return MakeBlackClip(p, pal); }) && ok;
  return ok ? 0 : 1;
}
