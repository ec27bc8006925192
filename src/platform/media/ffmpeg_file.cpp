// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/ffmpeg_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "base/ffmpeg_log.h"

namespace vantrel::media {
namespace {

double Seconds(std::int64_t ts, AVRational base) { return double(ts) * av_q2d(base); }

std::int64_t StartOf(const AVStream* stream) {
  return stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
}

thread_local std::string gLastOpenFailure;

// libavformat's reason for an open that failed, said for a user.
std::string OpenFailureText(const std::string& path, int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = "";
  av_strerror(code, text, sizeof text);
  if (code == AVERROR_INVALIDDATA) return std::string("not a video that can be read (") + text + ")";
  // The HTTP reader gives up on a chain of redirects with nothing better than these.
  if ((code == AVERROR(EINVAL) || code == AVERROR(EIO)) && path.rfind("http", 0) == 0)
    return std::string("the server's answer cannot be followed: it redirects without end, broke off, or the "
                       "address is not valid (") + text + ")";
  return text;
}

}  // namespace

bool IsUrl(const std::string& path) {
  const auto colon = path.find("://");
  if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(path[0]))) return false;
  for (size_t i = 1; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

std::string LastOpenFailure() { return gLastOpenFailure; }

double NetworkTimeoutSeconds() {
  if (const char* text = std::getenv("VANTREL_NETWORK_TIMEOUT")) {
    char* end = nullptr;
    double seconds = std::strtod(text, &end);
    if (end != text && *end == 0 && std::isfinite(seconds) && seconds > 0) return seconds;
  }
  return 15;
}

int MediaFile::OnInterruptCheck(void* self) {
  auto* file = static_cast<MediaFile*>(self);
  if (file->interrupted_.load()) return 1;
  return file->network_ && file->ReadOverdue() ? 1 : 0;
}

// libavformat asks at least every tenth of a second while a network read waits (and on
// every pass of its read loops), so a longer silence between two checks means the reader
// was busy elsewhere: a new read starts there with the whole timeout. The timeout options
// of the protocols do not reach every layer (an HTTP body read waits on its TCP socket
// without one), which is why the deadline is kept here.
bool MediaFile::ReadOverdue() {
  constexpr std::int64_t kNewReadGapNs = 1'000'000'000;
  const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
  const std::int64_t bytes = format_ && format_->pb ? format_->pb->bytes_read + format_->pb->pos : 0;
  if (bytes != bytesSeen_ || now - lastCheck_ > std::min(kNewReadGapNs, timeoutNs_ / 2)) {
    bytesSeen_ = bytes;
    deadline_ = now + timeoutNs_;
  }
  lastCheck_ = now;
  if (now < deadline_) return false;
  timedOut_ = true;
  return true;
}

HRESULT MediaFile::ReadFailure(int readResult) const {
  if (readResult >= 0 || !format_) return com::S_OK;
  if (timedOut_) return kSourceStopped;
  if (readResult == AVERROR_EXIT) return com::S_OK;
  // Demuxers report the end of damaged data in many ways; only a failure of the reading
  // itself (a silent server, a dropped connection, an I/O error) is more than the end.
  const int streamError = format_->pb ? format_->pb->error : 0;
  const bool ioFailed = streamError < 0 && streamError != AVERROR_EOF && streamError != AVERROR_EXIT;
  const bool netFailed = readResult == AVERROR(ETIMEDOUT) || readResult == AVERROR(EIO) ||
                         readResult == AVERROR(ECONNRESET);
  // A server that closes the connection early looks like the end of the stream, short of
  // the length it announced.
  const std::int64_t announced = IsUrl(path_) && format_->pb ? avio_size(format_->pb) : -1;
  const bool cutShort = format_->pb && format_->pb->eof_reached && announced > 0 && format_->pb->pos < announced;
  if (!ioFailed && !netFailed && !cutShort) return com::S_OK;
  // An HTTP body sent without its length ends where the server closes the connection. The
  // HTTP reader, which then waits for a length it was never told, calls that close an I/O
  // error; it is the end of the whole body. A reset or a silent server is reported otherwise.
  std::string scheme = path_.substr(0, path_.find("://"));
  std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  const bool http = scheme == "http" || scheme == "https";
  const bool closedAtEnd = http && announced < 0 && format_->pb && format_->pb->eof_reached &&
                           (readResult == AVERROR(EIO) || readResult == AVERROR_EOF) &&
                           (streamError == AVERROR(EIO) || streamError == 0 || streamError == AVERROR_EOF);
  if (closedAtEnd) return com::S_OK;
  return IsUrl(path_) ? kSourceStopped : kReadFault;
}

MediaFile::~MediaFile() {
  if (format_) avformat_close_input(&format_);
}

HRESULT MediaFile::Open(const std::string& path) {
  RouteFfmpegLog();
  gLastOpenFailure.clear();
  path_ = path;
  struct stat info {};
  AVDictionary* options = nullptr;
  if (stat(path.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return kFileNotFound;
    if (info.st_size == 0) return kUnknownFileType;
  } else if (IsUrl(path)) {
    // A stream from a server: give up on one that stops answering, while connecting and
    // on every read after (microseconds). The protocols' own timeouts end a read where
    // they reach; the interrupt check below ends every other.
    network_ = true;
    timeoutNs_ = static_cast<std::int64_t>(NetworkTimeoutSeconds() * 1e9);
    bytesSeen_ = -1;
    lastCheck_ = 0;
    timedOut_ = false;
    const std::string timeout = std::to_string(static_cast<long long>(NetworkTimeoutSeconds() * 1e6));
    av_dict_set(&options, "rw_timeout", timeout.c_str(), 0);
    av_dict_set(&options, "timeout", timeout.c_str(), 0);
  } else {
    return kFileNotFound;
  }
  format_ = avformat_alloc_context();
  if (!format_) {
    av_dict_free(&options);
    return com::E_OUTOFMEMORY;
  }
  // Lets a stopping run end a read that waits on a silent server.
  format_->interrupt_callback = {&MediaFile::OnInterruptCheck, this};
  int opened = avformat_open_input(&format_, path.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) gLastOpenFailure = OpenFailureText(path, opened);
  if (opened < 0) {
    format_ = nullptr;
    if (timedOut_) return kSourceStopped;
    return IsUrl(path) && opened == AVERROR(ENOENT) ? kFileNotFound : kUnknownFileType;
  }
  if (avformat_find_stream_info(format_, nullptr) < 0 || timedOut_) {
    // The probe of a server that went silent ends early with what it has: not a file to
    // convert, however much of it was guessed.
    avformat_close_input(&format_);
    return timedOut_ ? kSourceStopped : kInvalidFileFormat;
  }
  duration_ = format_->duration > 0 ? double(format_->duration) / AV_TIME_BASE : 0;
  for (unsigned i = 0; i < format_->nb_streams; ++i) {
    const AVStream* st = format_->streams[i];
    const AVCodecParameters* par = st->codecpar;
    if (par->codec_type != AVMEDIA_TYPE_VIDEO && par->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    if (st->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;  // cover art is not video
    StreamFacts facts;
    facts.fileIndex = int(i);
    facts.kind = par->codec_type == AVMEDIA_TYPE_VIDEO ? StreamFacts::Kind::Video
                                                       : StreamFacts::Kind::Audio;
    facts.lengthSeconds = st->duration > 0 ? Seconds(st->duration, st->time_base) : duration_;
    facts.fourcc = par->codec_tag;
    facts.bitRate = par->bit_rate;
    if (const AVCodecDescriptor* codec = avcodec_descriptor_get(par->codec_id))
      facts.codec = codec->long_name ? codec->long_name : codec->name;
    if (const AVDictionaryEntry* tag = av_dict_get(st->metadata, "language", nullptr, 0)) facts.language = tag->value;
    bool haveDecoder = avcodec_find_decoder(par->codec_id) != nullptr;
    if (facts.kind == StreamFacts::Kind::Video) {
      AVRational rate = st->avg_frame_rate.num > 0 ? st->avg_frame_rate : st->r_frame_rate;
      facts.frameRate = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
      facts.width = par->width;
      facts.height = par->height;
      if (par->width > 0 && par->height > 0) {
        const AVRational sample = av_guess_sample_aspect_ratio(format_, format_->streams[i], nullptr);
        const double pixel = sample.num > 0 && sample.den > 0 ? av_q2d(sample) : 1.0;
        facts.displayAspect = pixel * par->width / par->height;
      }
      facts.decodable = haveDecoder && par->width > 0 && par->height > 0;
    } else {
      facts.sampleRate = par->sample_rate;
      facts.channels = par->ch_layout.nb_channels;
      facts.decodable = haveDecoder && par->sample_rate > 0 && facts.channels > 0;
    }
    streams_.push_back(facts);
  }
  if (streams_.empty()) {
    avformat_close_input(&format_);
    return kUnknownFileType;
  }
  return com::S_OK;
}

std::string MediaFile::FormatName() const {
  return format_ && format_->iformat ? format_->iformat->name : "";
}

int MediaFile::FirstOf(StreamFacts::Kind kind) const {
  for (size_t i = 0; i < streams_.size(); ++i)
    if (streams_[i].kind == kind) return int(i);
  return -1;
}

VideoDecoder::~VideoDecoder() {
  if (codec_) avcodec_free_context(&codec_);
  if (sws_) sws_freeContext(sws_);
}

HRESULT VideoDecoder::Open(MediaFile& file, int fileStreamIndex) {
  file_ = &file;
  stream_ = fileStreamIndex;
  const AVStream* st = file.Format()->streams[fileStreamIndex];
  const AVCodec* decoder = avcodec_find_decoder(st->codecpar->codec_id);
  if (!decoder) return kUnknownFileType;
  codec_ = avcodec_alloc_context3(decoder);
  if (!codec_) return com::E_OUTOFMEMORY;
  avcodec_parameters_to_context(codec_, st->codecpar);
  codec_->thread_count = 1;  // a thumbnail is one picture; threads cost more than they give
  codec_->pkt_timebase = st->time_base;
  if (avcodec_open2(codec_, decoder, nullptr) < 0) return kUnknownFileType;
  return com::S_OK;
}

double VideoDecoder::SecondsOf(const AVFrame* frame) const {
  const AVStream* st = file_->Format()->streams[stream_];
  std::int64_t ts = frame->best_effort_timestamp;
  if (ts == AV_NOPTS_VALUE) ts = frame->pts;
  if (ts == AV_NOPTS_VALUE) return 0;
  return Seconds(ts - StartOf(st), st->time_base);
}

HRESULT VideoDecoder::FrameAt(double seconds, DibFrame& out, int width, int height) {
  AVFormatContext* fmt = file_->Format();
  const AVStream* st = fmt->streams[stream_];
  // A second early, as some indexes mark pictures as key frames that cannot start a
  // decode; should the first picture still come after the time, decode from the start.
  for (double margin : {1.0, seconds}) {
    double from = std::max(0.0, seconds - margin);
    std::int64_t target = StartOf(st) + std::int64_t(std::floor(from / av_q2d(st->time_base)));
    if (from <= 0 || av_seek_frame(fmt, stream_, target, AVSEEK_FLAG_BACKWARD) < 0)
      av_seek_frame(fmt, stream_, StartOf(st), AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    avcodec_flush_buffers(codec_);
    HRESULT hr = DecodeForward(seconds, out, width, height);
    if (hr != com::S_FALSE || from <= 0) return hr == com::S_FALSE ? com::S_OK : hr;
  }
  return com::S_OK;
}

HRESULT VideoDecoder::DecodeForward(double seconds, DibFrame& out, int width, int height) {
  AVFormatContext* fmt = file_->Format();

  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  AVFrame* held = av_frame_alloc();
  bool haveHeld = false, done = false, draining = false;
  // A tiny rounding margin so the frame that starts exactly at the time is taken.
  const double epsilon = 1e-6;
  while (!done) {
    if (!draining) {
      int rc = av_read_frame(fmt, packet);
      if (rc < 0) {
        draining = true;
        avcodec_send_packet(codec_, nullptr);
      } else {
        if (packet->stream_index == stream_) avcodec_send_packet(codec_, packet);
        av_packet_unref(packet);
      }
    }
    for (;;) {
      int rc = avcodec_receive_frame(codec_, frame);
      if (rc == AVERROR(EAGAIN)) break;
      if (rc < 0) {  // end of the drained stream, or a decoder that gave up
        done = true;
        break;
      }
      if (SecondsOf(frame) <= seconds + epsilon || !haveHeld) {
        bool later = SecondsOf(frame) > seconds + epsilon;
        av_frame_unref(held);
        av_frame_move_ref(held, frame);
        haveHeld = true;
        if (later) done = true;  // nothing shown before the first picture: take it
      } else {
        done = true;  // the held picture is the one on screen at `seconds`
      }
      av_frame_unref(frame);
      if (done) break;
    }
  }
  // S_FALSE: the first picture came after the time, so the seek landed too late.
  bool late = haveHeld && SecondsOf(held) > seconds + epsilon;
  bool ok = haveHeld && Convert(held, out, width, height, 24);
  av_frame_free(&held);
  av_frame_free(&frame);
  av_packet_free(&packet);
  return ok ? (late ? com::S_FALSE : com::S_OK) : com::E_FAIL;
}

bool VideoDecoder::Convert(const AVFrame* frame, DibFrame& out, int width, int height,
                           int bitsPerPixel) {
  if (frame->width <= 0 || frame->height <= 0) return false;
  out.width = width > 0 ? width : frame->width;
  out.height = height > 0 ? height : frame->height;
  out.bitsPerPixel = bitsPerPixel;
  AVPixelFormat target = bitsPerPixel == 32 ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24;
  sws_ = sws_getCachedContext(sws_, frame->width, frame->height, AVPixelFormat(frame->format),
                              out.width, out.height, target, SWS_AREA, nullptr, nullptr, nullptr);
  if (!sws_) return false;
  int stride = out.Stride();
  out.bits.assign(size_t(stride) * size_t(out.height), 0);
  // Bottom-up rows: start at the last row and walk backwards.
  std::uint8_t* planes[4] = {out.bits.data() + size_t(stride) * size_t(out.height - 1), nullptr,
                             nullptr, nullptr};
  int strides[4] = {-stride, 0, 0, 0};
  return sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, planes, strides) > 0;
}

}  // namespace vantrel::media
