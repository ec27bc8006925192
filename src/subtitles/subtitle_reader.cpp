// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/subtitle_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"
#include "subtitles/text_encoding.h"

extern "C" {
#include <libavutil/avstring.h>
}

namespace vantrel {
namespace {

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

bool IsTextSubtitle(AVCodecID id) {
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id);
  return descriptor && descriptor->type == AVMEDIA_TYPE_SUBTITLE && (descriptor->props & AV_CODEC_PROP_TEXT_SUB);
}

std::string LanguageOf(const AVStream* stream) {
  const AVDictionaryEntry* tag = av_dict_get(stream->metadata, "language", nullptr, 0);
  return tag && tag->value ? tag->value : "";
}

// The decoded text of a memory buffer, read through FFmpeg's I/O as if it were the file.
struct MemoryInput {
  std::string data;
  size_t position = 0;

  static int Read(void* opaque, uint8_t* buffer, int size) {
    auto* self = static_cast<MemoryInput*>(opaque);
    const size_t left = self->data.size() - self->position;
    if (left == 0) return AVERROR_EOF;
    const size_t n = std::min(left, static_cast<size_t>(size));
    std::memcpy(buffer, self->data.data() + self->position, n);
    self->position += n;
    return static_cast<int>(n);
  }
  static int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<MemoryInput*>(opaque);
    const int64_t size = static_cast<int64_t>(self->data.size());
    if (whence == AVSEEK_SIZE) return size;
    int64_t target = (whence & ~AVSEEK_FORCE) == SEEK_CUR ? int64_t(self->position) + offset
                     : (whence & ~AVSEEK_FORCE) == SEEK_END ? size + offset
                                                             : offset;
    if (target < 0 || target > size) return AVERROR(EINVAL);
    self->position = static_cast<size_t>(target);
    return target;
  }
};

struct AvioDeleter {
  void operator()(AVIOContext* context) const {
    av_freep(&context->buffer);
    avio_context_free(&context);
  }
};

int64_t Milliseconds(int64_t value, AVRational timeBase) {
  return av_rescale_q(value, timeBase, AVRational{1, 1000});
}

// Decodes every packet of `streamIndex` into ASS events.
void DecodeStream(AVFormatContext* input, int streamIndex, TextSubtitles* track) {
  AVStream* stream = input->streams[streamIndex];
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  CodecPtr decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
  if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
    track->error = "no decoder for subtitles of type " + std::string(avcodec_get_name(stream->codecpar->codec_id));
    return;
  }
  decoder->pkt_timebase = stream->time_base;
  if (int code = avcodec_open2(decoder.get(), codec, nullptr); code < 0) {
    track->error = "the subtitle decoder cannot be opened: " + AvError(code);
    return;
  }
  const AVCodecID id = stream->codecpar->codec_id;
  track->ownStyles = id == AV_CODEC_ID_ASS || id == AV_CODEC_ID_SSA;
  if (decoder->subtitle_header)
    track->assHeader.assign(reinterpret_cast<const char*>(decoder->subtitle_header), decoder->subtitle_header_size);
  track->language = LanguageOf(stream);

  PacketPtr packet(av_packet_alloc());
  int code = 0;
  while ((code = av_read_frame(input, packet.get())) >= 0) {
    if (packet->stream_index == streamIndex && packet->pts != AV_NOPTS_VALUE) {
      AVSubtitle subtitle{};
      int got = 0;
      if (avcodec_decode_subtitle2(decoder.get(), &subtitle, &got, packet.get()) >= 0 && got) {
        const int64_t start = Milliseconds(packet->pts, stream->time_base) + subtitle.start_display_time;
        int64_t end = packet->duration > 0 ? Milliseconds(packet->pts + packet->duration, stream->time_base)
                                           : start + subtitle.end_display_time;
        for (unsigned i = 0; i < subtitle.num_rects; ++i)
          if (subtitle.rects[i]->ass && end > start)
            track->cues.push_back({start, end, subtitle.rects[i]->ass});
        avsubtitle_free(&subtitle);
      }
    }
    av_packet_unref(packet.get());
  }
  if (code != AVERROR_EOF) {
    track->error = "the subtitles cannot be read to the end: " + AvError(code);
    return;
  }
  std::stable_sort(track->cues.begin(), track->cues.end(),
                   [](const SubtitleCue& a, const SubtitleCue& b) { return a.startMs < b.startMs; });
  track->ok = true;
}

int FirstTextStream(const AVFormatContext* input) {
  for (unsigned i = 0; i < input->nb_streams; ++i)
    if (IsTextSubtitle(input->streams[i]->codecpar->codec_id)) return static_cast<int>(i);
  return -1;
}

}  // namespace

TextSubtitles ReadSubtitleFile(const std::string& path, const std::string& encodingOverride) {
  RouteFfmpegLog();
  TextSubtitles track;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    track.error = "cannot read " + path + ": " + std::strerror(errno);
    return track;
  }
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  DecodedText text = DecodeSubtitleText(bytes, encodingOverride);
  track.encoding = text.encoding;
  if (!text.ok) {
    track.error = path + ": " + text.error;
    return track;
  }

  MemoryInput memory{std::move(text.text)};
  constexpr int kBufferSize = 32768;
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
  std::unique_ptr<AVIOContext, AvioDeleter> io(
      avio_alloc_context(buffer, kBufferSize, 0, &memory, &MemoryInput::Read, nullptr, &MemoryInput::Seek));
  AVFormatContext* raw = avformat_alloc_context();
  if (!io || !raw) {
    avformat_free_context(raw);
    track.error = "out of memory reading " + path;
    return track;
  }
  raw->pb = io.get();
  raw->flags |= AVFMT_FLAG_CUSTOM_IO;
  // The path goes along so the probe also weighs the file's extension.
  if (int code = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); code < 0) {
    track.error = path + " is not a subtitle file FFmpeg can read: " + AvError(code);
    return track;
  }
  InputPtr input(raw);
  avformat_find_stream_info(input.get(), nullptr);
  const int index = FirstTextStream(input.get());
  if (index < 0) {
    track.error = path + " holds no text subtitles";
    return track;
  }
  const std::string encoding = track.encoding;
  DecodeStream(input.get(), index, &track);
  track.encoding = encoding;
  if (!track.error.empty()) track.error = path + ": " + track.error;
  return track;
}

bool ListSubtitleStreams(const std::string& path, std::vector<SubtitleStreamInfo>* streams, std::string* error) {
  RouteFfmpegLog();
  AVFormatContext* raw = nullptr;
  if (int code = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); code < 0) {
    *error = "cannot open " + path + ": " + AvError(code);
    return false;
  }
  InputPtr input(raw);
  streams->clear();
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVStream* stream = input->streams[i];
    if (stream->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) continue;
    streams->push_back({static_cast<int>(i), avcodec_get_name(stream->codecpar->codec_id), LanguageOf(stream),
                        IsTextSubtitle(stream->codecpar->codec_id)});
  }
  return true;
}

TextSubtitles ReadSubtitleStream(const std::string& path, int streamIndex) {
  RouteFfmpegLog();
  TextSubtitles track;
  AVFormatContext* raw = nullptr;
  if (int code = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); code < 0) {
    track.error = "cannot open " + path + ": " + AvError(code);
    return track;
  }
  InputPtr input(raw);
  if (streamIndex < 0) streamIndex = FirstTextStream(input.get());
  if (streamIndex < 0 || streamIndex >= static_cast<int>(input->nb_streams) ||
      !IsTextSubtitle(input->streams[streamIndex]->codecpar->codec_id)) {
    track.error = path + " has no text subtitle stream" +
                  (streamIndex >= 0 ? " with index " + std::to_string(streamIndex) : std::string());
    return track;
  }
  // Only the subtitles are read; the pictures and sound are skipped by the demuxer.
  for (unsigned i = 0; i < input->nb_streams; ++i)
    if (static_cast<int>(i) != streamIndex) input->streams[i]->discard = AVDISCARD_ALL;
  DecodeStream(input.get(), streamIndex, &track);
  if (!track.error.empty()) track.error = path + ": " + track.error;
  return track;
}

}  // namespace vantrel
