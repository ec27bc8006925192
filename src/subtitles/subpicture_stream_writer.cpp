// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/subpicture_stream_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <tuple>

#include "base/atomic_file.h"
#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"
#include "base/run_cancel.h"
#include "base/text_format.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace vantrel {
namespace {

constexpr int kDvdMuxRate = 10080000;   // bits per second, as DVD players read the stream
constexpr int kDvdMaxDelay = 700000;    // microseconds: the decoder buffer delay players expect
constexpr int kVideoBufferBytes = 1835008;  // bits, the DVD decoder buffer
constexpr int kShortestTicksMs = 12;   // one 1024/90000 s tick: the shortest a subpicture can show

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// One subpicture waiting for its place in the stream, in the title's 90 kHz clock.
struct Pending {
  std::int64_t pts = 0;
  int stream = 0;  // output stream index
  const Subpicture* picture = nullptr;
};

bool Copied(const AVStream* stream) {
  const AVMediaType type = stream->codecpar->codec_type;
  return type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO;
}

bool IsMpegVideo(AVCodecID id) { return id == AV_CODEC_ID_MPEG2VIDEO || id == AV_CODEC_ID_MPEG1VIDEO; }

std::string PaletteOption(const SubpicturePalette& palette) {
  std::string text;
  for (std::uint32_t colour : palette) text += Format(text.empty() ? "%06x" : ",%06x", colour & 0xFFFFFF);
  return text;
}

// The colours of a picture's three visible indices must all be in the title's table: the
// encoder picks the nearest entry, which is then the very colour.
bool InPalette(const Subpicture& picture, const SubpicturePalette& palette) {
  for (int i = 1; i < 4; ++i)
    if (std::find(palette.begin(), palette.end(), picture.bitmap.palette[size_t(i)] & 0xFFFFFF) == palette.end())
      return false;
  return true;
}

class Pass {
 public:
  Pass(const std::string& title, const std::string& output, std::string* error)
      : title_(title), output_(output), error_(*error) {}

  bool Open(const SubpicturePalette& palette, int subtitleStreams) {
    AVFormatContext* raw = nullptr;
    if (const int rc = avformat_open_input(&raw, title_.c_str(), nullptr, nullptr); rc < 0)
      return Fail(rc == AVERROR_INVALIDDATA ? title_ + " is not an MPEG-2 program stream the subtitles can be added to"
                                            : "cannot read " + title_ + ": " + AvError(rc));
    in_.reset(raw);
    if (const int rc = avformat_find_stream_info(raw, nullptr); rc < 0)
      return Fail("cannot read the streams of " + title_ + ": " + AvError(rc));
    video_ = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (std::strcmp(raw->iformat->name, "mpeg") != 0 || video_ < 0 ||
        !IsMpegVideo(raw->streams[video_]->codecpar->codec_id))
      return Fail(title_ + " is not an MPEG-2 program stream the subtitles can be added to");

    if (!part_.Create(output_)) return Fail("cannot write " + output_ + ": " + std::strerror(errno));
    AVFormatContext* mux = nullptr;
    if (const int rc = avformat_alloc_output_context2(&mux, nullptr, "dvd", part_.Path().c_str()); rc < 0 || !mux)
      return Fail("cannot prepare the DVD stream: " + AvError(rc));
    out_.reset(mux);
    av_opt_set_int(mux->priv_data, "muxrate", kDvdMuxRate, 0);
    mux->max_delay = kDvdMaxDelay;

    // The pictures first (the muxer starts each of the disc's units at a picture of the
    // first stream), then the sound in the order of its numbers: the muxer numbers each
    // kind of stream in the order they are added.
    std::vector<int> order;
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
      if (Copied(raw->streams[i]))
        order.push_back(int(i));
      else
        raw->streams[i]->discard = AVDISCARD_ALL;
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return std::make_pair(a != video_, raw->streams[a]->id) < std::make_pair(b != video_, raw->streams[b]->id);
    });
    outputOf_.assign(raw->nb_streams, -1);
    for (int i : order) {
      const AVStream* from = raw->streams[i];
      AVStream* to = avformat_new_stream(mux, nullptr);
      if (!to || avcodec_parameters_copy(to->codecpar, from->codecpar) < 0) return Fail("out of memory");
      to->codecpar->codec_tag = 0;
      to->time_base = from->time_base;
      if (i == video_) AddBufferSize(to);
      outputOf_[size_t(i)] = to->index;
    }

    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_DVD_SUBTITLE);
    if (!codec) return Fail("this FFmpeg has no DVD subtitle encoder");
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) return Fail("out of memory");
    encoder_->time_base = {1, 90000};
    encoder_->width = raw->streams[video_]->codecpar->width;
    encoder_->height = raw->streams[video_]->codecpar->height;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "palette", PaletteOption(palette).c_str(), 0);
    const int opened = avcodec_open2(encoder_.get(), codec, &options);
    av_dict_free(&options);
    if (opened < 0) return Fail("cannot start the DVD subtitle encoder: " + AvError(opened));
    for (int k = 0; k < subtitleStreams; ++k) {
      AVStream* to = avformat_new_stream(mux, nullptr);
      if (!to || avcodec_parameters_from_context(to->codecpar, encoder_.get()) < 0) return Fail("out of memory");
      to->time_base = {1, 90000};
      subtitleOutputs_.push_back(to->index);
    }

    lastDts_.assign(mux->nb_streams, AV_NOPTS_VALUE);
    if (const int rc = avio_open(&mux->pb, part_.Path().c_str(), AVIO_FLAG_WRITE); rc < 0)
      return Fail("cannot write " + output_ + ": " + AvError(rc));
    if (const int rc = avformat_write_header(mux, nullptr); rc < 0)
      return Fail("cannot start " + output_ + ": " + AvError(rc));
    return true;
  }

  // The title's clock at its first picture, where every subpicture's time counts from.
  std::int64_t PicturesStart() const {
    const AVStream* video = in_->streams[video_];
    const std::int64_t start = video->start_time != AV_NOPTS_VALUE ? video->start_time : 0;
    return av_rescale_q(start, video->time_base, {1, 90000});
  }

  int SubtitleOutput(size_t track) const { return subtitleOutputs_[track]; }

  bool Run(const std::vector<Pending>& pending, SubpictureStreamsOutcome* outcome) {
    PacketPtr packet(av_packet_alloc());
    if (!packet) return Fail("out of memory");
    size_t next = 0;
    std::int64_t picturesEnd = AV_NOPTS_VALUE;  // 90 kHz
    const AVRational clock{1, 90000};
    for (;;) {
      if (CancelRequested()) return Fail("cancelled");
      const int rc = av_read_frame(in_.get(), packet.get());
      if (rc == AVERROR_EOF || (rc < 0 && avio_feof(in_->pb))) break;
      if (rc < 0) return Fail("cannot read " + title_ + ": " + AvError(rc));
      const int to = packet->stream_index < int(outputOf_.size()) ? outputOf_[size_t(packet->stream_index)] : -1;
      if (to < 0) {
        av_packet_unref(packet.get());
        continue;
      }
      const AVRational base = in_->streams[packet->stream_index]->time_base;
      if (packet->stream_index == video_ && packet->pts != AV_NOPTS_VALUE)
        picturesEnd = std::max(picturesEnd == AV_NOPTS_VALUE ? INT64_MIN : picturesEnd,
                               av_rescale_q(packet->pts + std::max<std::int64_t>(packet->duration, 0), base, clock));
      // Each subpicture goes in just before the first packet that is decoded after it starts.
      if (packet->dts != AV_NOPTS_VALUE) {
        const std::int64_t at = av_rescale_q(packet->dts, base, clock);
        for (; next < pending.size() && pending[next].pts <= at; ++next)
          if (!WriteSubpicture(pending[next], outcome)) return false;
      }
      packet->stream_index = to;
      packet->pos = -1;
      av_packet_rescale_ts(packet.get(), base, out_->streams[to]->time_base);
      // A sound frame split across two packets repeats its decoding time; the muxer wants
      // strictly rising ones.
      std::int64_t& last = lastDts_[size_t(to)];
      if (packet->dts != AV_NOPTS_VALUE && last != AV_NOPTS_VALUE && packet->dts <= last) {
        packet->dts = last + 1;
        if (packet->pts != AV_NOPTS_VALUE && packet->pts < packet->dts) packet->pts = packet->dts;
      }
      if (packet->dts != AV_NOPTS_VALUE) last = packet->dts;
      const int written = av_interleaved_write_frame(out_.get(), packet.get());
      av_packet_unref(packet.get());
      if (written < 0) return Fail("cannot write " + output_ + ": " + AvError(written));
    }
    // What starts while the last picture shows still goes in; what starts later has no
    // picture to be shown on.
    for (; next < pending.size(); ++next) {
      if (picturesEnd != AV_NOPTS_VALUE && pending[next].pts < picturesEnd) {
        if (!WriteSubpicture(pending[next], outcome)) return false;
      } else {
        ++outcome->skipped;
      }
    }
    if (outcome->written == 0 && !pending.empty())
      return Fail("every subtitle of " + title_ + " lies beyond the end of its pictures");
    return Finish();
  }

 private:
  bool Fail(const std::string& why) {
    error_ = why;
    out_.reset();
    part_.Abandon();
    return false;
  }

  // Program streams rarely tell the pictures' buffer size; the muxer wants it.
  static void AddBufferSize(AVStream* to) {
    size_t size = 0;
    if (AVCPBProperties* cpb = av_cpb_properties_alloc(&size)) {
      cpb->buffer_size = kVideoBufferBytes;
      cpb->max_bitrate = 9800000;
      if (av_stream_add_side_data(to, AV_PKT_DATA_CPB_PROPERTIES, reinterpret_cast<uint8_t*>(cpb), size) < 0)
        av_free(cpb);
    }
  }

  bool WriteSubpicture(const Pending& item, SubpictureStreamsOutcome* outcome) {
    const SubpictureBitmap& bitmap = item.picture->bitmap;
    std::uint32_t colours[256] = {};
    for (size_t i = 1; i < 4; ++i) colours[i] = 0xFF000000u | (bitmap.palette[i] & 0xFFFFFF);
    AVSubtitleRect rect{};
    rect.type = SUBTITLE_BITMAP;
    rect.x = bitmap.x, rect.y = bitmap.y, rect.w = bitmap.width, rect.h = bitmap.height;
    rect.nb_colors = 4;
    rect.data[0] = const_cast<std::uint8_t*>(bitmap.index.data());
    rect.linesize[0] = bitmap.width;
    rect.data[1] = reinterpret_cast<std::uint8_t*>(colours);
    AVSubtitleRect* rects[1] = {&rect};
    AVSubtitle subtitle{};
    subtitle.num_rects = 1;
    subtitle.rects = rects;
    subtitle.start_display_time = 0;
    subtitle.end_display_time =
        std::uint32_t(std::max<std::int64_t>(kShortestTicksMs, item.picture->endMs - item.picture->startMs));
    buffer_.resize(size_t(bitmap.width) * size_t(bitmap.height) + 4096);
    const int size = avcodec_encode_subtitle(encoder_.get(), buffer_.data(), int(buffer_.size()), &subtitle);
    if (size <= 0)
      return Fail(Format("the subtitle at %lld ms cannot be encoded (%dx%d pixels)", (long long)item.picture->startMs,
                         bitmap.width, bitmap.height));
    PacketPtr packet(av_packet_alloc());
    if (!packet || av_new_packet(packet.get(), size) < 0) return Fail("out of memory");
    std::memcpy(packet->data, buffer_.data(), size_t(size));
    packet->stream_index = item.stream;
    packet->pts = packet->dts = av_rescale_q(item.pts, {1, 90000}, out_->streams[item.stream]->time_base);
    const int written = av_interleaved_write_frame(out_.get(), packet.get());
    if (written < 0) return Fail("cannot write " + output_ + ": " + AvError(written));
    ++outcome->written;
    return true;
  }

  bool Finish() {
    if (const int rc = av_write_trailer(out_.get()); rc < 0) return Fail("cannot write " + output_ + ": " + AvError(rc));
    avio_flush(out_->pb);
    if (out_->pb->error < 0) return Fail("cannot write " + output_ + ": " + AvError(out_->pb->error));
    if (const int rc = avio_closep(&out_->pb); rc < 0) return Fail("cannot write " + output_ + ": " + AvError(rc));
    out_.reset();
    if (!part_.Commit()) return Fail("cannot write " + output_ + ": " + std::strerror(errno));
    return true;
  }

  const std::string& title_;
  const std::string& output_;
  std::string& error_;
  InputPtr in_;
  OutputPtr out_;
  CodecPtr encoder_;
  PendingFile part_;
  int video_ = -1;
  std::vector<int> outputOf_;  // input stream -> output stream, -1 not copied
  std::vector<int> subtitleOutputs_;
  std::vector<std::int64_t> lastDts_;  // per output stream
  std::vector<std::uint8_t> buffer_;
};

}  // namespace

bool WriteSubpictureStreams(const std::string& title, const std::string& output,
                            const std::vector<const std::vector<Subpicture>*>& streams,
                            const SubpicturePalette& palette, SubpictureStreamsOutcome* outcome, std::string* error) {
  RouteFfmpegLog();
  *outcome = {};
  if (output == title) return *error = "the subtitles cannot be written over their title " + title, false;
  for (const auto* pictures : streams)
    for (const Subpicture& picture : *pictures)
      if (!picture.bitmap.Empty() && !InPalette(picture, palette))
        return *error = Format("the subtitle at %lld ms uses a colour outside the title's 16", (long long)picture.startMs),
               false;
  Pass pass(title, output, error);
  if (!pass.Open(palette, int(streams.size()))) return false;
  std::vector<Pending> pending;
  const std::int64_t origin = pass.PicturesStart();
  for (size_t k = 0; k < streams.size(); ++k)
    for (const Subpicture& picture : *streams[k])
      if (!picture.bitmap.Empty()) pending.push_back({origin + picture.startMs * 90, pass.SubtitleOutput(k), &picture});
  std::stable_sort(pending.begin(), pending.end(),
                   [](const Pending& a, const Pending& b) { return std::tie(a.pts, a.stream) < std::tie(b.pts, b.stream); });
  return pass.Run(pending, outcome);
}

}  // namespace vantrel
