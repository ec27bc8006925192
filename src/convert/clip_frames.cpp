// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/clip_frames.h"

#include <algorithm>
#include <cmath>

#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"

namespace vantrel {
namespace {

// Times closer than this are the same moment.
constexpr double kSameMoment = 1e-6;

}  // namespace

struct ClipFrames::Decoder {
  InputPtr input;
  CodecPtr codec;
  FramePtr next;
  PacketPtr packet;
  SwsContext* scale = nullptr;
  int stream = -1;
  double timeBase = 0;
  double fileStart = 0;  // the file's first moment, in seconds
  double start = 0;      // the clip's start after the file's first moment
  double frameSeconds = 0.04;
  double period = 0;     // known once the file's end was reached: how long the clip lasts
  bool haveNext = false, drained = false;
  double nextTime = 0, lastNextTime = -1;
  bool haveShown = false;
  double shownTime = 0;
  RgbImage shown;

  ~Decoder() { sws_freeContext(scale); }

  bool Restart(std::string& error) {
    const auto target = std::int64_t((fileStart + start) * AV_TIME_BASE);
    if (av_seek_frame(input.get(), -1, target, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(input.get(), -1, std::int64_t(fileStart * AV_TIME_BASE), AVSEEK_FLAG_BACKWARD) < 0) {
      error = "cannot go back to the clip's start";
      return false;
    }
    avcodec_flush_buffers(codec.get());
    haveNext = drained = haveShown = false;
    lastNextTime = -1;
    return true;
  }

  // 1: a picture in `next`; 0: the end of the file; -1: an error.
  int Decode(std::string& error) {
    for (;;) {
      const int got = avcodec_receive_frame(codec.get(), next.get());
      if (got == 0) {
        const std::int64_t stamp = next->best_effort_timestamp;
        nextTime = stamp == AV_NOPTS_VALUE ? lastNextTime + frameSeconds : double(stamp) * timeBase - fileStart;
        lastNextTime = nextTime;
        return 1;
      }
      if (got == AVERROR_EOF) return 0;
      if (got != AVERROR(EAGAIN)) {
        error = "cannot decode the clip's pictures";
        return -1;
      }
      if (drained) return 0;
      const int read = av_read_frame(input.get(), packet.get());
      if (read < 0) {
        drained = true;
        avcodec_send_packet(codec.get(), nullptr);
        continue;
      }
      // A damaged packet is skipped, as a player would.
      if (packet->stream_index == stream) avcodec_send_packet(codec.get(), packet.get());
      av_packet_unref(packet.get());
    }
  }

  void Show() {
    scale = sws_getCachedContext(scale, next->width, next->height, AVPixelFormat(next->format), shown.width,
                                 shown.height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (scale) {
      std::uint8_t* planes[4] = {shown.pixels.data(), nullptr, nullptr, nullptr};
      int strides[4] = {shown.width * 3, 0, 0, 0};
      sws_scale(scale, next->data, next->linesize, 0, next->height, planes, strides);
    }
    shownTime = nextTime;
    haveShown = true;
    haveNext = false;
  }
};

ClipFrames::ClipFrames() = default;
ClipFrames::~ClipFrames() = default;

bool ClipFrames::Open(const std::string& path, double startSeconds, int width, int height, std::string& error) {
  RouteFfmpegLog();
  auto d = std::make_unique<Decoder>();
  AVFormatContext* raw = nullptr;
  if (width <= 0 || height <= 0 || avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) {
    error = "cannot read " + path;
    return false;
  }
  d->input.reset(raw);
  const AVCodec* codec = nullptr;
  if (avformat_find_stream_info(raw, nullptr) < 0 ||
      (d->stream = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0)) < 0 || !codec) {
    error = path + " holds no pictures that can be decoded";
    return false;
  }
  const AVStream* stream = raw->streams[d->stream];
  d->codec.reset(avcodec_alloc_context3(codec));
  d->next.reset(av_frame_alloc());
  d->packet.reset(av_packet_alloc());
  if (!d->codec || !d->next || !d->packet || avcodec_parameters_to_context(d->codec.get(), stream->codecpar) < 0) {
    error = "out of memory reading " + path;
    return false;
  }
  // A button is small: decoders that can give a smaller picture save most of their work.
  int lowres = 0;
  while (lowres < codec->max_lowres && (stream->codecpar->width >> (lowres + 1)) >= width &&
         (stream->codecpar->height >> (lowres + 1)) >= height)
    ++lowres;
  d->codec->lowres = lowres;
  d->codec->thread_count = 1;
  if (avcodec_open2(d->codec.get(), codec, nullptr) < 0) {
    error = "no decoder for the pictures of " + path;
    return false;
  }
  d->timeBase = av_q2d(stream->time_base);
  d->fileStart = raw->start_time == AV_NOPTS_VALUE ? 0 : double(raw->start_time) / AV_TIME_BASE;
  const AVRational rate = av_guess_frame_rate(raw, const_cast<AVStream*>(stream), nullptr);
  if (rate.num > 0 && rate.den > 0) d->frameSeconds = 1 / av_q2d(rate);
  // A start at or past the end would show nothing but the last picture: the clip then
  // starts with the file.
  const double length = raw->duration > 0 ? double(raw->duration) / AV_TIME_BASE : 0;
  d->start = std::max(0.0, startSeconds);
  if (length > 0 && d->start > length - 0.5) d->start = 0;
  d->shown = RgbImage(width, height);
  if (!d->Restart(error)) return false;
  decoder_ = std::move(d);
  return true;
}

const RgbImage* ClipFrames::At(double seconds, std::string& error) {
  if (!decoder_) {
    error = "the clip is not open";
    return nullptr;
  }
  Decoder& d = *decoder_;
  // At most one start again for the end of the file, one for a time asked for anew.
  for (int round = 0; round < 3; ++round) {
    const double want = d.start + (d.period > 0 ? std::fmod(std::max(0.0, seconds), d.period) : seconds);
    if (d.haveShown && want + kSameMoment < d.shownTime && !d.Restart(error)) return nullptr;
    bool atEnd = false;
    for (;;) {
      if (!d.haveNext) {
        const int got = d.Decode(error);
        if (got < 0) return nullptr;
        if (got == 0) {
          atEnd = true;
          break;
        }
        d.haveNext = true;
      }
      // The first picture after a start is shown even when it comes a little late.
      if (d.haveShown && d.nextTime > want + kSameMoment) break;
      d.Show();
    }
    if (!atEnd) return &d.shown;
    if (!d.haveShown) {
      error = "the clip has no pictures";
      return nullptr;
    }
    if (want < d.shownTime + d.frameSeconds || d.period > 0) return &d.shown;
    // The file ended before the moment asked for: the clip is as long as what was there.
    d.period = std::max(d.frameSeconds, d.shownTime + d.frameSeconds - d.start);
    if (!d.Restart(error)) return nullptr;
  }
  return d.haveShown ? &d.shown : nullptr;
}

}  // namespace vantrel
