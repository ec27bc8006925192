// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/title_sound_tracks.h"

#include <cmath>
#include <limits>
#include <memory>

#include "base/ffmpeg_log.h"
#include "base/run_cancel.h"
#include "convert/encoder_internal.h"

namespace vantrel {
namespace {

using encoder::AvError;
using encoder::OutputFile;
using encoder::SoundConverter;
using encoder::SourceFile;

constexpr double kNever = std::numeric_limits<double>::infinity();

// One file read alongside the others: the title's pictures, or one track's sound.
struct Reader {
  SourceFile file;  // ctx, the stream read (`audio`, or `video` for the pictures) and its time 0
  int stream = -1;
  AVStream* out = nullptr;
  std::unique_ptr<SoundConverter> converter;  // null: packets are copied
  double next = 0;  // the time of the last packet read, seconds on the title's time line
  std::int64_t lastDts = AV_NOPTS_VALUE;
  bool done = false;
};

double StreamStart(const AVStream* s) {
  return s->start_time == AV_NOPTS_VALUE ? 0.0 : double(s->start_time) * av_q2d(s->time_base);
}

bool OpenTrack(const SoundTrackSource& track, Reader& reader, std::string& error) {
  AVFormatContext* raw = nullptr;
  if (int rc = avformat_open_input(&raw, track.path.c_str(), nullptr, nullptr); rc < 0)
    return error = "cannot read " + track.path + ": " + AvError(rc), false;
  reader.file.ctx.reset(raw);
  if (int rc = avformat_find_stream_info(raw, nullptr); rc < 0)
    return error = "cannot read the streams of " + track.path + ": " + AvError(rc), false;
  int stream = track.stream;
  if (stream < 0) stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (stream < 0 || stream >= int(raw->nb_streams) || raw->streams[stream]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
    return error = track.path + (track.stream < 0 ? " has no sound" : " has no sound stream " + std::to_string(track.stream)),
           false;
  const int video = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  // A file with pictures counts from its first picture, as the title does; a sound file
  // from its start.
  const double zero = video >= 0 ? StreamStart(raw->streams[video]) : raw->start_time != AV_NOPTS_VALUE
                                                                          ? double(raw->start_time) / AV_TIME_BASE
                                                                          : 0.0;
  for (unsigned i = 0; i < raw->nb_streams; ++i)
    if (int(i) != stream) raw->streams[i]->discard = AVDISCARD_ALL;
  reader.stream = stream;
  reader.file.audio = stream;
  reader.file.video = video;
  reader.file.originSeconds = zero - track.offsetSeconds;
  return true;
}

bool CopiesAs(const AVCodecParameters* sound, AVCodecID format) {
  return sound->codec_id == format && sound->sample_rate == 48000;
}

// The pictures' stream, its buffer size told to the muxer (program streams rarely say it).
bool AddPictures(Reader& pictures, OutputFile& output, std::string& error) {
  const AVStream* in = pictures.file.ctx->streams[pictures.stream];
  if (!(pictures.out = output.AddStream(error))) return false;
  avcodec_parameters_copy(pictures.out->codecpar, in->codecpar);
  pictures.out->codecpar->codec_tag = 0;
  pictures.out->time_base = in->time_base;
  std::size_t size = 0;
  if (AVCPBProperties* cpb = av_cpb_properties_alloc(&size)) {
    cpb->buffer_size = 1835008;
    cpb->max_bitrate = 9800000;
    if (av_stream_add_side_data(pictures.out, AV_PKT_DATA_CPB_PROPERTIES, reinterpret_cast<uint8_t*>(cpb), size) < 0)
      av_free(cpb);
  }
  return true;
}

// Writes a copied packet on the title's time line; false only on a write failure. Sound
// before the title's start or after its pictures' end is left out.
bool CopyPacket(Reader& reader, AVPacket* packet, double picturesEnd, bool pictures, OutputFile& output,
                std::string& error) {
  const AVStream* from = reader.file.ctx->streams[reader.stream];
  const double tick = av_q2d(from->time_base);
  const std::int64_t shift = std::llround(reader.file.originSeconds / tick);
  if (packet->pts != AV_NOPTS_VALUE) packet->pts -= shift;
  if (packet->dts != AV_NOPTS_VALUE) packet->dts -= shift;
  const double at = packet->dts != AV_NOPTS_VALUE ? double(packet->dts) * tick : reader.next;
  reader.next = at;
  if (!pictures && (at < 0 || at > picturesEnd)) return true;
  packet->stream_index = reader.out->index;
  av_packet_rescale_ts(packet, from->time_base, reader.out->time_base);
  packet->pos = -1;
  // Split sound frames can repeat a decoding time; the muxer needs strictly rising ones.
  if (packet->dts != AV_NOPTS_VALUE && reader.lastDts != AV_NOPTS_VALUE && packet->dts <= reader.lastDts) {
    packet->dts = reader.lastDts + 1;
    if (packet->pts != AV_NOPTS_VALUE && packet->pts < packet->dts) packet->pts = packet->dts;
  }
  if (packet->dts != AV_NOPTS_VALUE) reader.lastDts = packet->dts;
  return output.Write(packet, error);
}

bool Make(const std::string& title, const std::vector<SoundTrackSource>& tracks, TvStandard standard,
          OutputFile& output, std::vector<SoundTrackFacts>* facts, std::string& error) {
  std::vector<Reader> readers(tracks.size() + 1);
  Reader& pictures = readers[0];
  if (!pictures.file.Open(title, error)) return false;
  pictures.stream = pictures.file.video;
  // The title's sound tells the format every track is given.
  EncoderPreset preset = PresetFor(FormatFamily::Dvd, standard);
  const int titleSound = pictures.file.audio;
  preset.audio = titleSound >= 0 && pictures.file.ctx->streams[titleSound]->codecpar->codec_id == AV_CODEC_ID_MP2
                     ? AudioCodec::Mp2
                     : AudioCodec::Ac3;
  const AVCodecID format = preset.audio == AudioCodec::Mp2 ? AV_CODEC_ID_MP2 : AV_CODEC_ID_AC3;
  preset.uniformSound = true;
  for (unsigned i = 0; i < pictures.file.ctx->nb_streams; ++i)
    if (int(i) != pictures.stream) pictures.file.ctx->streams[i]->discard = AVDISCARD_ALL;
  if (!AddPictures(pictures, output, error)) return false;
  facts->clear();
  for (size_t k = 0; k < tracks.size(); ++k) {
    Reader& reader = readers[k + 1];
    if (!OpenTrack(tracks[k], reader, error)) return false;
    const AVStream* in = reader.file.ctx->streams[reader.stream];
    if (CopiesAs(in->codecpar, format)) {
      if (!(reader.out = output.AddStream(error))) return false;
      avcodec_parameters_copy(reader.out->codecpar, in->codecpar);
      reader.out->codecpar->codec_tag = 0;
      reader.out->time_base = in->time_base;
    } else {
      reader.converter = std::make_unique<SoundConverter>();
      if (!reader.converter->Open(reader.file, preset, output, error)) return false;
      reader.out = output.Context()->streams[output.Context()->nb_streams - 1];
    }
    const AVDictionaryEntry* tag = av_dict_get(in->metadata, "language", nullptr, 0);
    facts->push_back({format == AV_CODEC_ID_MP2 ? "mp2" : "ac3", tag && tag->value ? tag->value : ""});
  }
  if (!output.WriteHeader(error)) return false;

  PacketPtr packet(av_packet_alloc());
  double picturesEnd = kNever;  // known once the pictures are read
  double picturesWritten = 0;
  for (;;) {
    if (CancelRequested()) return error = "cancelled", false;
    // The file that is furthest behind is read next, so the streams arrive interleaved.
    Reader* next = nullptr;
    for (Reader& reader : readers)
      if (!reader.done && (!next || reader.next < next->next)) next = &reader;
    if (!next) break;
    const int rc = av_read_frame(next->file.ctx.get(), packet.get());
    if (rc < 0) {
      next->done = true;
      if (next == &pictures) picturesEnd = picturesWritten;
      if (rc != AVERROR_EOF && !avio_feof(next->file.ctx->pb))
        return error = "cannot read " + std::string(next->file.ctx->url) + ": " + AvError(rc), false;
      continue;
    }
    if (packet->stream_index != next->stream) {
      av_packet_unref(packet.get());
      continue;
    }
    bool ok = true;
    if (next->converter) {
      const AVStream* from = next->file.ctx->streams[next->stream];
      if (packet->dts != AV_NOPTS_VALUE) next->next = double(packet->dts) * av_q2d(from->time_base) - next->file.originSeconds;
      ok = next->next > picturesEnd || next->converter->Add(packet.get(), output, error);
    } else {
      const bool isPictures = next == &pictures;
      const double tick = av_q2d(next->file.ctx->streams[next->stream]->time_base);
      if (isPictures && packet->pts != AV_NOPTS_VALUE)
        picturesWritten = std::max(picturesWritten, double(packet->pts + packet->duration) * tick - next->file.originSeconds);
      ok = CopyPacket(*next, packet.get(), picturesEnd, isPictures, output, error);
    }
    av_packet_unref(packet.get());
    if (!ok) return false;
    // Sound past the pictures' end is not read on.
    if (next != &pictures && next->next > picturesEnd) next->done = true;
  }
  for (Reader& reader : readers)
    if (reader.converter && !reader.converter->Finish(picturesEnd, output, error)) return false;
  return output.Finish(error);
}

}  // namespace

bool MakeTitleSoundTracks(const std::string& title, const std::vector<SoundTrackSource>& tracks, TvStandard standard,
                          const std::string& output, std::vector<SoundTrackFacts>* facts, std::string* error) {
  RouteFfmpegLog();
  if (output == title) return *error = "the sound tracks cannot be written over their title " + title, false;
  OutputFile file;
  std::string why;
  if (!file.Create(output, "dvd", PresetFor(FormatFamily::Dvd, standard).muxRate, why)) return *error = why, false;
  const bool made = Make(title, tracks, standard, file, facts, why);
  if (!made) {
    file.Abandon();
    *error = why;
  }
  return made;
}

int CopiedSoundTrackBitRate(const SoundTrackSource& track, bool mp2) {
  RouteFfmpegLog();
  Reader reader;
  std::string error;
  if (!OpenTrack(track, reader, error)) return 0;
  const AVCodecParameters* sound = reader.file.ctx->streams[reader.stream]->codecpar;
  if (!CopiesAs(sound, mp2 ? AV_CODEC_ID_MP2 : AV_CODEC_ID_AC3) || sound->bit_rate <= 0) return 0;
  return int(sound->bit_rate);
}

std::string SoundTrackProblem(const SoundTrackSource& track) {
  RouteFfmpegLog();
  Reader reader;
  std::string error;
  return OpenTrack(track, reader, error) ? "" : error;
}

}  // namespace vantrel
