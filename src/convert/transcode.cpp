// SPDX-License-Identifier: GPL-3.0-or-later
// The encode path. A reader thread demuxes and decodes the source into a bounded queue;
// the calling thread takes the pictures and sound from it, converts them to the preset
// (size, pixel format, frame rate, sample rate, channels), encodes and multiplexes.
//
// Timing: every decoded picture and sound frame is placed by its own timestamp relative to
// the first picture, so sound and pictures stay together whatever the source's
// rates. The frame rate is converted by showing, in each output frame slot, the source
// picture whose timestamp rounds to it or the last one before it (pictures are repeated or
// dropped, never blended). Gaps in the sound are filled with silence.
#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
}

#include "convert/bounded_queue.h"
#include "convert/encoder_internal.h"
#include "convert/picture_fit.h"
#include "convert/rate_holding.h"

namespace vantrel::encoder {
namespace {

int WorkerThreads() { return int(std::clamp(std::thread::hardware_concurrency(), 1u, 16u)); }

// The threads a job's codecs may use: its share of the cores when a run gives it one.
int JobThreads(const EncoderPreset& p) { return p.threads > 0 ? std::min(p.threads, WorkerThreads()) : WorkerThreads(); }

// Sends packets an encoder produced to the muxer, in the stream's time base.
bool Drain(AVCodecContext* encoder, AVStream* stream, OutputFile& output, std::string& error) {
  PacketPtr packet(av_packet_alloc());
  for (;;) {
    int rc = avcodec_receive_packet(encoder, packet.get());
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) {
      error = "encoding failed: " + AvError(rc);
      return false;
    }
    packet->stream_index = stream->index;
    av_packet_rescale_ts(packet.get(), encoder->time_base, stream->time_base);
    if (!output.Write(packet.get(), error)) return false;
  }
}

class VideoStage {
 public:
  // `sourceAspect` is the display shape the source states for pictures of
  // `sourceWidth` x `sourceHeight` (0 x 0: of any size); 0 when it states none.
  bool Open(const EncoderPreset& p, double sourceAspect, int sourceWidth, int sourceHeight, OutputFile& output,
            std::string& error) {
    preset_ = p;
    sourceAspect_ = sourceAspect;
    sourceWidth_ = sourceWidth;
    sourceHeight_ = sourceHeight;
    const AVCodec* codec =
        avcodec_find_encoder(p.video == VideoCodec::Mpeg1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO);
    if (!codec) return error = "no MPEG video encoder in this FFmpeg", false;
    encoder_.reset(avcodec_alloc_context3(codec));
    AVCodecContext* c = encoder_.get();
    c->width = p.width;
    c->height = p.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->framerate = AVRational{p.frameRate.num, p.frameRate.den};
    c->time_base = AVRational{p.frameRate.den, p.frameRate.num};
    c->gop_size = p.gopSize;
    c->max_b_frames = p.referenceDistance - 1;
    c->bit_rate = p.videoBitRate;
    if (p.variableBitRate) {
      c->rc_max_rate = p.maxVideoBitRate;
    } else {
      c->rc_max_rate = c->rc_min_rate = p.videoBitRate;
    }
    c->rc_buffer_size = p.vbvBufferBits;
    if (p.quality > 75) {
      c->mb_decision = FF_MB_DECISION_RD;
      c->trellis = 1;
    }
    c->thread_count = JobThreads(p);
    c->thread_type = FF_THREAD_SLICE;

    frameAspect_ = OutputDisplayAspect(p, sourceAspect);
    c->sample_aspect_ratio = av_d2q(frameAspect_ * p.height / p.width, 255);
    if (output.Context()->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // A planned rate is a promise to the disc: grainy pictures must not push past it.
    AVDictionary* options = nullptr;
    if (p.video == VideoCodec::Mpeg2 && !HoldMpeg2Rate(c, &options)) return error = "out of memory", false;
    // A B-picture's two-way block takes the best forward and backward vectors as they are:
    // refining them together costs 12 to 15 % of a title's whole conversion, for 0.07 dB
    // or less at DVD rates, clean pictures and grainy alike.
    if (c->max_b_frames > 0) c->bidir_refine = 0;
    int rc = avcodec_open2(c, codec, &options);
    av_dict_free(&options);
    if (rc < 0) return error = "cannot open the MPEG video encoder: " + AvError(rc), false;
    stream_ = output.AddStream(error);
    if (!stream_) return false;
    avcodec_parameters_from_context(stream_->codecpar, c);
    stream_->time_base = c->time_base;
    stream_->sample_aspect_ratio = c->sample_aspect_ratio;
    // The buffer and peak rate the encoder kept to; the muxer writes them into the pack headers.
    for (int i = 0; i < c->nb_coded_side_data; ++i) {
      const AVPacketSideData& side = c->coded_side_data[i];
      if (uint8_t* copy = av_stream_new_side_data(stream_, side.type, side.size))
        std::copy_n(side.data, side.size, copy);
    }
    return true;
  }

  // A decoded picture at `seconds` after the output's start, lasting `length` seconds.
  bool Add(FramePtr frame, double seconds, double length, OutputFile& output, Progress& progress,
           std::string& error) {
    std::int64_t slot = SlotOf(seconds);
    if (Holding() && !EmitHeldUntil(slot, output, progress, error)) return false;
    held_ = std::move(frame);
    heldPicture_.reset();
    // A picture that lasts a slot or more is shown unless the next one comes early: it is
    // converted now, and its source goes back to the sender without waiting for the next.
    // A shorter one may be passed over, so it is converted only when its first slot comes.
    if (length * preset_.frameRate.Value() >= 0.999 && !ConvertHeld(error)) return false;
    return true;
  }

  // Shows the last picture up to `endSeconds`, then empties the encoder.
  bool Finish(double endSeconds, OutputFile& output, Progress& progress, std::string& error) {
    if (Holding()) {
      std::int64_t end = std::max<std::int64_t>(nextSlot_ + 1, SlotOf(endSeconds));
      if (!EmitHeldUntil(end, output, progress, error)) return false;
    }
    avcodec_send_frame(encoder_.get(), nullptr);
    return Drain(encoder_.get(), stream_, output, error);
  }

  double Seconds() const { return nextSlot_ / preset_.frameRate.Value(); }

  // The output frame slot a time falls in. A cut half-way between two source pictures puts
  // every picture on a tie; the small bias rounds all ties the same way, so that the noise
  // of the subtraction never sends two neighbouring pictures to one slot and drops one.
  std::int64_t SlotOf(double seconds) const { return std::llround(seconds * preset_.frameRate.Value() + 1e-3); }
  bool HasPictures() const { return nextSlot_ > 0 || Holding(); }

 private:
  bool EmitHeldUntil(std::int64_t slot, OutputFile& output, Progress& progress, std::string& error) {
    for (; nextSlot_ < slot; ++nextSlot_) {
      if (!heldPicture_ && !ConvertHeld(error)) return false;
      FramePtr picture(av_frame_clone(heldPicture_.get()));
      if (!picture) return error = "out of memory", false;
      picture->pts = nextSlot_;
      int rc = avcodec_send_frame(encoder_.get(), picture.get());
      if (rc < 0) return error = "encoding failed: " + AvError(rc), false;
      if (!Drain(encoder_.get(), stream_, output, error)) return false;
      progress.frames.fetch_add(1);
      progress.position100ns.store(std::int64_t((nextSlot_ + 1) * 1e7 / preset_.frameRate.Value()));
    }
    return true;
  }

  // Scales the held picture into a black frame of the preset's size, keeping its shape.
  // A picture as wide as the frame is scaled straight into its rows: what the scaler's
  // vector code writes past the width lands in the line's padding. A narrower one is
  // scaled on its own and then copied into place, or that spill would smear into the bar.
  bool ConvertHeld(std::string& error) {
    const AVFrame* src = held_.get();
    FramePtr out = NewPicture();
    if (!out) return error = "out of memory", false;
    PictureRect r = FitPicture(PictureAspect(src), preset_.width, preset_.height, frameAspect_);
    const bool boxed = r.width != preset_.width || r.height != preset_.height;
    const bool direct = r.width == preset_.width;
    uint8_t* targetData[4] = {out->data[0], out->data[1], out->data[2], nullptr};
    int targetLines[4] = {out->linesize[0], out->linesize[1], out->linesize[2], 0};
    if (boxed) {
      PaintBars(out.get(), r);
      if (direct) {
        for (int plane = 0; plane < 3; ++plane)
          targetData[plane] += std::size_t(r.y >> (plane ? 1 : 0)) * out->linesize[plane];
      } else {
        if (!inner_ || inner_->width != r.width || inner_->height != r.height) {
          inner_.reset(av_frame_alloc());
          if (!inner_) return error = "out of memory", false;
          inner_->format = AV_PIX_FMT_YUV420P;
          inner_->width = r.width;
          inner_->height = r.height;
          if (av_frame_get_buffer(inner_.get(), 64) < 0) return error = "out of memory", false;
        }
        for (int plane = 0; plane < 3; ++plane) {
          targetData[plane] = inner_->data[plane];
          targetLines[plane] = inner_->linesize[plane];
        }
      }
    }
    scaler_.reset(sws_getCachedContext(scaler_.release(), src->width, src->height, AVPixelFormat(src->format),
                                       r.width, r.height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr,
                                       nullptr));
    if (!scaler_) return error = "cannot convert the source's pictures", false;
    sws_scale(scaler_.get(), src->data, src->linesize, 0, src->height, targetData, targetLines);
    if (boxed && !direct) {
      for (int plane = 0; plane < 3; ++plane) {
        const int shift = plane ? 1 : 0;
        const int rows = r.height >> shift, bytes = r.width >> shift;
        uint8_t* to = out->data[plane] + std::size_t(r.y >> shift) * out->linesize[plane] + (r.x >> shift);
        for (int row = 0; row < rows; ++row)
          std::copy_n(inner_->data[plane] + std::size_t(row) * inner_->linesize[plane], bytes,
                      to + std::size_t(row) * out->linesize[plane]);
      }
    }
    heldPicture_ = std::move(out);
    held_.reset();  // the source's picture goes back to its sender for the next one
    return true;
  }

  // Black around `r`, and only there: the picture goes inside it.
  static void PaintBars(AVFrame* out, const PictureRect& r) {
    for (int plane = 0; plane < 3; ++plane) {
      const int shift = plane ? 1 : 0;
      const uint8_t black = plane ? 128 : 16;
      const int width = out->width >> shift, height = out->height >> shift;
      const int top = r.y >> shift, bottom = (r.y + r.height) >> shift;
      const int left = r.x >> shift, right = (r.x + r.width) >> shift;
      for (int row = 0; row < height; ++row) {
        uint8_t* line = out->data[plane] + std::size_t(row) * out->linesize[plane];
        if (row < top || row >= bottom) {
          std::fill_n(line, width, black);
        } else {
          std::fill_n(line, left, black);
          std::fill_n(line + right, width - right, black);
        }
      }
    }
  }

  // The display shape of a source picture: what the source file states (its stream or its
  // container), else what the decoded frame carries, else square pixels. The plain
  // families keep the source's own shape in their frame.
  double PictureAspect(const AVFrame* src) const {
    if (preset_.family == FormatFamily::Mpeg1 || preset_.family == FormatFamily::Mpeg2) return frameAspect_;
    const bool stated = sourceWidth_ == 0 || (src->width == sourceWidth_ && src->height == sourceHeight_);
    if (sourceAspect_ > 0 && stated) return sourceAspect_;
    double pixelAspect = src->sample_aspect_ratio.num > 0 ? av_q2d(src->sample_aspect_ratio) : 1.0;
    return double(src->width) * pixelAspect / src->height;
  }

  // Output pictures come from a pool: the encoder holds a few for reordering, and fresh
  // allocations of this size cost a page fault per 4 KiB.
  FramePtr NewPicture() {
    constexpr int kAlign = 64;
    int size = av_image_get_buffer_size(AV_PIX_FMT_YUV420P, preset_.width, preset_.height, kAlign);
    if (!pool_) pool_.reset(av_buffer_pool_init(std::size_t(size) + kAlign, nullptr));
    FramePtr out(av_frame_alloc());
    if (!pool_ || !out) return nullptr;
    out->format = AV_PIX_FMT_YUV420P;
    out->width = preset_.width;
    out->height = preset_.height;
    out->buf[0] = av_buffer_pool_get(pool_.get());
    if (!out->buf[0]) return nullptr;
    uint8_t* base = out->buf[0]->data;
    base += (kAlign - reinterpret_cast<std::uintptr_t>(base) % kAlign) % kAlign;
    if (av_image_fill_arrays(out->data, out->linesize, base, AV_PIX_FMT_YUV420P, preset_.width, preset_.height,
                             kAlign) < 0)
      return nullptr;
    return out;
  }

  struct PoolDeleter {
    void operator()(AVBufferPool* p) const { av_buffer_pool_uninit(&p); }
  };

  EncoderPreset preset_;
  std::unique_ptr<AVBufferPool, PoolDeleter> pool_;
  double frameAspect_ = 4.0 / 3.0;
  double sourceAspect_ = 0;  // as the source states it, for pictures of its size
  int sourceWidth_ = 0;      // 0: the stated shape holds for pictures of any size
  int sourceHeight_ = 0;
  FramePtr inner_;           // the picture between the bars, before it is copied into place
  CodecPtr encoder_;
  AVStream* stream_ = nullptr;
  SwsPtr scaler_;
  // The last decoded picture, not yet shown in every slot it covers: as decoded (held_)
  // until its first slot, then converted to the output (heldPicture_).
  bool Holding() const { return held_ || heldPicture_; }
  FramePtr held_;
  FramePtr heldPicture_;
  std::int64_t nextSlot_ = 0;
};

class AudioStage {
 public:
  bool Open(const EncoderPreset& p, OutputFile& output, std::string& error) {
    const AVCodec* codec = avcodec_find_encoder(p.audio == AudioCodec::Ac3 ? AV_CODEC_ID_AC3 : AV_CODEC_ID_MP2);
    if (!codec) return error = "no MPEG audio or AC-3 encoder in this FFmpeg", false;
    encoder_.reset(avcodec_alloc_context3(codec));
    AVCodecContext* c = encoder_.get();
    c->sample_rate = p.audioSampleRate;
    av_channel_layout_default(&c->ch_layout, p.audioChannels);
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->bit_rate = p.audioBitRate;
    c->time_base = AVRational{1, p.audioSampleRate};
    int rc = avcodec_open2(c, codec, nullptr);
    if (rc < 0) return error = "cannot open the audio encoder: " + AvError(rc), false;
    stream_ = output.AddStream(error);
    if (!stream_) return false;
    avcodec_parameters_from_context(stream_->codecpar, c);
    stream_->time_base = c->time_base;
    fifo_.reset(av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, c->frame_size * 4));
    if (!fifo_) return error = "out of memory", false;
    return true;
  }

  // Decoded sound starting at `seconds` after the output's start.
  bool Add(const AVFrame* frame, double seconds, OutputFile& output, std::string& error) {
    if (!resampler_ && !OpenResampler(frame, error)) return false;
    double rate = encoder_->sample_rate;
    std::int64_t at = std::llround(seconds * rate);
    if (first_) {
      first_ = false;
      if (at > 0 && !AddSilence(at, output, error)) return false;  // sound starts after the pictures
      if (at < 0) dropSamples_ = -at;                                // or before them
      timeline_ = at;
    } else if (at - timeline_ > std::llround(rate / 10)) {
      // A gap of more than a tenth of a second: silence, so later sound keeps its place.
      if (!AddSilence(at - timeline_, output, error)) return false;
      timeline_ = at;
    }
    int room = swr_get_out_samples(resampler_.get(), frame->nb_samples);
    if (!Convert(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples, room, error)) return false;
    return EncodeFull(output, error);
  }

  // Silence up to `seconds`, for sources without sound and for a short sound track.
  bool PadTo(double seconds, OutputFile& output, std::string& error) {
    std::int64_t want = std::llround(seconds * encoder_->sample_rate);
    if (want > Queued()) return AddSilence(want - Queued(), output, error) && EncodeFull(output, error);
    return true;
  }

  bool Finish(double endSeconds, OutputFile& output, std::string& error) {
    if (resampler_ && !Convert(nullptr, 0, swr_get_out_samples(resampler_.get(), 0), error)) return false;
    if (!PadTo(endSeconds, output, error)) return false;
    if (!EncodeAll(output, error)) return false;
    avcodec_send_frame(encoder_.get(), nullptr);
    return Drain(encoder_.get(), stream_, output, error);
  }

 private:
  std::int64_t Queued() const { return encodedSamples_ + av_audio_fifo_size(fifo_.get()); }

  bool OpenResampler(const AVFrame* frame, std::string& error) {
    AVChannelLayout in{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels <= 0)
      av_channel_layout_default(&in, std::max(1, frame->ch_layout.nb_channels));
    else
      av_channel_layout_copy(&in, &frame->ch_layout);
    SwrContext* raw = nullptr;
    int rc = swr_alloc_set_opts2(&raw, &encoder_->ch_layout, encoder_->sample_fmt, encoder_->sample_rate, &in,
                                 AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    resampler_.reset(raw);
    if (rc < 0 || swr_init(raw) < 0) return error = "cannot convert the source's sound", false;
    return true;
  }

  bool Convert(const uint8_t** input, int count, int room, std::string& error) {
    if (room <= 0) return true;
    uint8_t** buffer = nullptr;
    if (av_samples_alloc_array_and_samples(&buffer, nullptr, encoder_->ch_layout.nb_channels, room,
                                           encoder_->sample_fmt, 0) < 0)
      return error = "out of memory", false;
    int got = swr_convert(resampler_.get(), buffer, room, input, count);
    bool ok = got >= 0;
    if (ok && got > 0) {
      timeline_ += got;
      int skip = int(std::min<std::int64_t>(dropSamples_, got));
      dropSamples_ -= skip;
      if (got > skip) {
        // Write past the dropped start: shift each plane's pointer by the skipped samples.
        int planes = av_sample_fmt_is_planar(encoder_->sample_fmt) ? encoder_->ch_layout.nb_channels : 1;
        int bytes = av_get_bytes_per_sample(encoder_->sample_fmt) *
                    (av_sample_fmt_is_planar(encoder_->sample_fmt) ? 1 : encoder_->ch_layout.nb_channels);
        std::vector<void*> planesAt(planes);
        for (int i = 0; i < planes; ++i) planesAt[i] = buffer[i] + skip * bytes;
        ok = av_audio_fifo_write(fifo_.get(), planesAt.data(), got - skip) == got - skip;
      }
    }
    av_freep(&buffer[0]);
    av_freep(&buffer);
    if (!ok) error = "cannot convert the source's sound";
    return ok;
  }

  bool AddSilence(std::int64_t samples, OutputFile& output, std::string& error) {
    FramePtr silence(av_frame_alloc());
    int chunk = encoder_->frame_size;
    silence->nb_samples = chunk;
    silence->format = encoder_->sample_fmt;
    av_channel_layout_copy(&silence->ch_layout, &encoder_->ch_layout);
    if (av_frame_get_buffer(silence.get(), 0) < 0) return error = "out of memory", false;
    av_samples_set_silence(silence->extended_data, 0, chunk, encoder_->ch_layout.nb_channels, encoder_->sample_fmt);
    while (samples > 0) {
      int n = int(std::min<std::int64_t>(samples, chunk));
      if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(silence->extended_data), n) != n)
        return error = "out of memory", false;
            samples -= n;
      if (!EncodeFull(output, error)) return false;
    }
    return true;
  }

  bool EncodeFull(OutputFile& output, std::string& error) {
    while (av_audio_fifo_size(fifo_.get()) >= encoder_->frame_size)
      if (!EncodeOne(output, error)) return false;
    return true;
  }

  // The last, partial frame is completed with silence.
  bool EncodeAll(OutputFile& output, std::string& error) {
    if (!EncodeFull(output, error)) return false;
    return av_audio_fifo_size(fifo_.get()) == 0 || EncodeOne(output, error);
  }

  bool EncodeOne(OutputFile& output, std::string& error) {
    FramePtr frame(av_frame_alloc());
    frame->nb_samples = encoder_->frame_size;
    frame->format = encoder_->sample_fmt;
    frame->sample_rate = encoder_->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &encoder_->ch_layout);
    if (av_frame_get_buffer(frame.get(), 0) < 0) return error = "out of memory", false;
    av_samples_set_silence(frame->extended_data, 0, frame->nb_samples, frame->ch_layout.nb_channels,
                           encoder_->sample_fmt);
    av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame->extended_data), encoder_->frame_size);
    frame->pts = encodedSamples_;
    encodedSamples_ += encoder_->frame_size;
    int rc = avcodec_send_frame(encoder_.get(), frame.get());
    if (rc < 0) return error = "encoding the sound failed: " + AvError(rc), false;
    return Drain(encoder_.get(), stream_, output, error);
  }

  CodecPtr encoder_;
  AVStream* stream_ = nullptr;
  SwrPtr resampler_;
  FifoPtr fifo_;
  bool first_ = true;
  std::int64_t timeline_ = 0;  // output time, in samples, of the next converted source sample
  std::int64_t encodedSamples_ = 0;
  std::int64_t dropSamples_ = 0;
};

// Seconds after the output's start of a decoded frame, or NaN when it carries no time.
double FrameSeconds(const AVFrame* frame, const AVStream* stream, double origin) {
  std::int64_t ts = frame->best_effort_timestamp;
  if (ts == AV_NOPTS_VALUE) ts = frame->pts;
  if (ts == AV_NOPTS_VALUE) return std::nan("");
  return ts * av_q2d(stream->time_base) - origin;
}

double FrameLength(const AVFrame* frame, const AVStream* stream, double fallback) {
  if (frame->nb_samples > 0 && frame->sample_rate > 0) return double(frame->nb_samples) / frame->sample_rate;
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(57, 30, 100)
  std::int64_t duration = frame->duration;
#else
  std::int64_t duration = frame->pkt_duration;
#endif
  if (duration > 0) return duration * av_q2d(stream->time_base);
  return fallback;
}

// `threads` 0: as many as the machine has. A job beside others keeps to its share: a
// decoder's frame threads each hold pictures of their own, and threads beyond the cores
// only take turns.
CodecPtr OpenDecoder(const AVStream* stream, std::string& error, int threads = 0) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  CodecPtr decoder(avcodec_alloc_context3(codec));
  avcodec_parameters_to_context(decoder.get(), stream->codecpar);
  decoder->pkt_timebase = stream->time_base;
  decoder->thread_count = threads;
  int rc = avcodec_open2(decoder.get(), codec, nullptr);
  if (rc < 0) {
    error = std::string("cannot open the decoder for ") + avcodec_get_name(stream->codecpar->codec_id) + ": " +
            AvError(rc);
    decoder.reset();
  }
  return decoder;
}

// Demuxes and decodes on its own thread; the queue's capacity bounds what it runs ahead.
class Reader {
 public:
  Reader(SourceFile& source, Progress& progress, BoundedQueue<Item>& queue, double fallbackRate, int threads)
      : threads_(threads),
        source_(source),
        progress_(progress),
        queue_(queue),
        sourceFrame_(source.frameRate > 0 ? 1.0 / source.frameRate : 1.0 / fallbackRate),
        videoTimes_(source.timesMayJump),
        audioTimes_(source.timesMayJump) {}

  bool Open(std::string& error) {
    video_ = OpenDecoder(source_.ctx->streams[source_.video], error, threads_);
    if (!video_) return false;
    if (source_.audio >= 0) {
      std::string ignored;
      audio_ = OpenDecoder(source_.ctx->streams[source_.audio], ignored);  // without it: silence
    }
    return true;
  }

  void Run() {
    PacketPtr packet(av_packet_alloc());
    bool going = true;
    while (going && !progress_.cancel.load()) {
      int rc = av_read_frame(source_.ctx.get(), packet.get());
      if (rc == AVERROR_EOF) break;
      if (rc < 0) {
        if (source_.ctx->pb && avio_feof(source_.ctx->pb)) break;  // a cut-off file ends here
        error_ = "cannot read the source: " + AvError(rc);
        break;
      }
      if (packet->stream_index == source_.video)
        going = Decode(video_.get(), packet.get(), Item::Video);
      else if (audio_ && packet->stream_index == source_.audio)
        going = Decode(audio_.get(), packet.get(), Item::Audio);
      av_packet_unref(packet.get());
    }
    if (going && error_.empty() && !progress_.cancel.load()) {
      Decode(video_.get(), nullptr, Item::Video);
      if (audio_) Decode(audio_.get(), nullptr, Item::Audio);
    }
    PushItem(queue_, Item{});
  }

  bool HasSound() const { return audio_ != nullptr; }
  const std::string& Error() const { return error_; }  // read after the thread ended
  int DecodeErrors() const { return decodeErrors_; }

 private:
  bool Decode(AVCodecContext* decoder, const AVPacket* packet, Item::Kind kind) {
    // Damaged packets are skipped as a player would; only a source with no picture fails.
    if (avcodec_send_packet(decoder, packet) < 0) {
      ++decodeErrors_;
      return true;
    }
    for (;;) {
      FramePtr frame(av_frame_alloc());
      int rc = avcodec_receive_frame(decoder, frame.get());
      if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
      if (rc < 0) {
        ++decodeErrors_;
        return true;
      }
      Item item{kind, std::move(frame)};
      Place(item);
      if (!PushItem(queue_, std::move(item))) return false;
    }
  }

  // Each frame by its own timestamp relative to the first picture; frames without one
  // follow the one before.
  void Place(Item& item) {
    const bool picture = item.kind == Item::Video;
    const AVStream* stream = source_.ctx->streams[picture ? source_.video : source_.audio];
    double& next = picture ? nextVideo_ : nextAudio_;
    double at = FrameSeconds(item.frame.get(), stream, source_.originSeconds);
    double length = FrameLength(item.frame.get(), stream, picture ? sourceFrame_ : 0);
    at = std::isnan(at) ? next : (picture ? videoTimes_ : audioTimes_).Place(at, length);
    next = at + length;
    item.seconds = at;
    item.length = length;
  }

  int threads_;
  SourceFile& source_;
  Progress& progress_;
  BoundedQueue<Item>& queue_;
  double sourceFrame_;
  Continuity videoTimes_, audioTimes_;
  double nextVideo_ = 0, nextAudio_ = 0;
  CodecPtr video_;
  CodecPtr audio_;
  std::string error_;
  int decodeErrors_ = 0;
};


// Takes frames from the queue up to its End item and encodes them; `nextVideo` and
// `nextAudio` end as the ends of the last picture and the last sound. A missing stage
// (null) means the output has no such stream: its frames are dropped.
bool EncodeQueue(BoundedQueue<Item>& queue, bool silent, VideoStage* video, AudioStage* audio,
                 OutputFile& output, Progress& progress, double& nextVideo, double& nextAudio,
                 std::string& error) {
  bool ok = true;
  while (ok) {
    std::optional<Item> item = queue.Pop();
    if (!item || item->kind == Item::End || progress.cancel.load()) break;
    if (item->kind == Item::Video) {
      if (!video) continue;
      nextVideo = std::max(nextVideo, item->seconds + item->length);
      ok = video->Add(std::move(item->frame), item->seconds, item->length, output, progress, error);
      // No sound in the source: silence in step with the pictures keeps the muxer's
      // interleaving buffer small.
      if (ok && silent && audio) ok = audio->PadTo(video->Seconds(), output, error);
    } else {
      if (!audio) continue;
      nextAudio = std::max(nextAudio, item->seconds + item->length);
      ok = audio->Add(item->frame.get(), item->seconds, output, error);
      if (ok && !video) {  // sound alone: its own end is the position
        progress.frames.fetch_add(1);
        progress.position100ns.store(std::int64_t(nextAudio * 1e7));
      }
    }
  }
  if (!ok || progress.cancel.load()) queue.Close();  // unblocks the producer
  return ok;
}

// The end of a job: the pictures end the title, unless the sound goes on for more than a
// second: then the last picture stays until the sound ends. Without pictures the sound
// ends it.
bool FinishEncoding(VideoStage* video, AudioStage* audio, OutputFile& output, Progress& progress,
                    double nextVideo, double nextAudio, std::string& error) {
  if (progress.cancel.load()) return error = "the conversion was cancelled", false;
  if (!video) {
    if (nextAudio <= 0) return error = "no sound of the source could be decoded", false;
    return audio->Finish(nextAudio, output, error) && output.Finish(error);
  }
  if (!video->HasPictures()) return error = "no picture of the source could be decoded", false;
  double endSeconds = nextAudio > nextVideo + 1.0 ? nextAudio : nextVideo;
  return video->Finish(endSeconds, output, progress, error) &&
         (!audio || audio->Finish(video->Seconds(), output, error)) && output.Finish(error);
}

}  // namespace

bool RunTranscode(SourceFile& source, OutputFile& output, const EncoderPreset& preset, Progress& progress,
                  std::string& error) {
  VideoStage video;
  AudioStage audio;
  const bool sound = source.audio >= 0 || KeepsSilentTrack(preset);
  const AVCodecParameters* v = source.ctx->streams[source.video]->codecpar;
  if (!video.Open(preset, source.displayAspect, v->width, v->height, output, error)) return false;
  if (sound && !audio.Open(preset, output, error)) return false;
  if (!output.WriteHeader(error)) return false;

  BoundedQueue<Item> queue(kQueueCapacity, kSoundItemsWaiting);
  Reader reader(source, progress, queue, preset.frameRate.Value(), JobThreads(preset));
  if (!reader.Open(error)) return false;
  std::thread readerThread([&] { reader.Run(); });
  double nextVideo = 0, nextAudio = 0;
  AudioStage* audioStage = sound ? &audio : nullptr;
  bool ok = EncodeQueue(queue, !reader.HasSound(), &video, audioStage, output, progress, nextVideo, nextAudio, error);
  readerThread.join();
  if (ok && !progress.cancel.load() && !reader.Error().empty()) error = reader.Error(), ok = false;
  return ok && FinishEncoding(&video, audioStage, output, progress, nextVideo, nextAudio, error);
}

bool RunFedTranscode(FedSource& fed, OutputFile& output, const EncoderPreset& preset, Progress& progress,
                     std::string& error) {
  VideoStage video;
  AudioStage audio;
  VideoStage* videoStage = fed.hasPictures ? &video : nullptr;
  AudioStage* audioStage = fed.hasSound || (fed.hasPictures && KeepsSilentTrack(preset)) ? &audio : nullptr;
  bool ok = (!videoStage || video.Open(preset, fed.displayAspect, 0, 0, output, error)) &&
            (!audioStage || audio.Open(preset, output, error)) && output.WriteHeader(error);
  double nextVideo = 0, nextAudio = 0;
  ok = ok && EncodeQueue(fed.queue, !fed.hasSound, videoStage, audioStage, output, progress, nextVideo, nextAudio,
                         error);
  if (!ok) {
    fed.queue.Close();  // the senders must not wait for a job that ended
    return false;
  }
  return FinishEncoding(videoStage, audioStage, output, progress, nextVideo, nextAudio, error);
}

struct SoundConverter::Impl {
  AudioStage stage;
  CodecPtr decoder;
  const AVStream* stream = nullptr;
  double origin = 0;
  double next = 0;
  Continuity times{false};
};

SoundConverter::SoundConverter() : impl_(std::make_unique<Impl>()) {}
SoundConverter::~SoundConverter() = default;

bool SoundConverter::Open(const SourceFile& source, const EncoderPreset& preset, OutputFile& output,
                          std::string& error) {
  Impl& s = *impl_;
  s.origin = source.originSeconds;
  s.times = Continuity(source.timesMayJump);
  if (source.audio >= 0) {
    s.stream = source.ctx->streams[source.audio];
    std::string ignored;
    s.decoder = OpenDecoder(s.stream, ignored);  // without a decoder: silence
  }
  return s.stage.Open(preset, output, error);
}

bool SoundConverter::Add(const AVPacket* packet, OutputFile& output, std::string& error) {
  Impl& s = *impl_;
  if (!s.decoder) return true;
  if (avcodec_send_packet(s.decoder.get(), packet) < 0) return true;  // a damaged packet is skipped
  for (;;) {
    FramePtr frame(av_frame_alloc());
    int rc = avcodec_receive_frame(s.decoder.get(), frame.get());
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) return true;
    double at = FrameSeconds(frame.get(), s.stream, s.origin);
    double length = FrameLength(frame.get(), s.stream, 0);
    at = std::isnan(at) ? s.next : s.times.Place(at, length);
    s.next = at + length;
    if (!s.stage.Add(frame.get(), at, output, error)) return false;
  }
}

bool SoundConverter::Follow(double seconds, OutputFile& output, std::string& error) {
  return impl_->decoder || impl_->stage.PadTo(seconds, output, error);
}

bool SoundConverter::Finish(double endSeconds, OutputFile& output, std::string& error) {
  Impl& s = *impl_;
  if (s.decoder && !Add(nullptr, output, error)) return false;
  return s.stage.Finish(endSeconds, output, error);
}

}  // namespace vantrel::encoder
