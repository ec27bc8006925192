// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/source_sound_streams.h"

#include "base/ffmpeg_log.h"
#include "convert/encoder_internal.h"

namespace vantrel {

bool ListSoundStreams(const std::string& path, std::vector<SoundStreamInfo>* streams, std::string* error) {
  RouteFfmpegLog();
  streams->clear();
  AVFormatContext* raw = nullptr;
  if (int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); rc < 0)
    return *error = "cannot read " + path + ": " + encoder::AvError(rc), false;
  InputPtr input(raw);
  // Streams a header leaves unknown (an MPEG program stream's) are found by reading on.
  if (int rc = avformat_find_stream_info(raw, nullptr); rc < 0)
    return *error = "cannot read the streams of " + path + ": " + encoder::AvError(rc), false;
  for (unsigned i = 0; i < raw->nb_streams; ++i) {
    const AVStream* stream = raw->streams[i];
    if (stream->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    const AVDictionaryEntry* tag = av_dict_get(stream->metadata, "language", nullptr, 0);
    std::string language = tag ? tag->value : "";
    if (language == "und") language.clear();
    streams->push_back({int(i), avcodec_get_name(stream->codecpar->codec_id), stream->codecpar->ch_layout.nb_channels,
                        language});
  }
  return true;
}

}  // namespace vantrel
