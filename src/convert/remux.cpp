// SPDX-License-Identifier: GPL-3.0-or-later
// The fast path: a source whose streams are already legal for a DVD gets a new container.
// Packets are copied as they are; the DVD muxer adds the navigation packs. When the sound
// must change (a disc whose titles share one sound format), only the sound is decoded and
// encoded again; the pictures are still copied.
#include <algorithm>
#include <cmath>

#include "convert/encoder_internal.h"

namespace vantrel::encoder {

bool RunRemux(SourceFile& source, OutputFile& output, const EncoderPreset& preset, SoundConverter* sound, Progress& progress,
              std::string& error) {
  AVFormatContext* in = source.ctx.get();
  int map[2] = {source.video, source.audio};
  AVStream* out[2] = {};
  for (int i = 0; i < (sound ? 1 : 2); ++i) {
    out[i] = output.AddStream(error);
    if (!out[i]) return false;
    avcodec_parameters_copy(out[i]->codecpar, in->streams[map[i]]->codecpar);
    out[i]->codecpar->codec_tag = 0;
    out[i]->time_base = in->streams[map[i]]->time_base;
  }
  // The muxer sizes its buffers from the video buffer size; program streams rarely say it,
  // and a DVD-legal stream fits the DVD's.
  std::size_t size = 0;
  const uint8_t* known = av_stream_get_side_data(in->streams[map[0]], AV_PKT_DATA_CPB_PROPERTIES, &size);
  AVCPBProperties* cpb = av_cpb_properties_alloc(&size);
  if (cpb) {
    if (known) *cpb = *reinterpret_cast<const AVCPBProperties*>(known);
    if (cpb->buffer_size <= 0) cpb->buffer_size = 1835008;
    if (cpb->max_bitrate <= 0) cpb->max_bitrate = 9800000;
    if (av_stream_add_side_data(out[0], AV_PKT_DATA_CPB_PROPERTIES, reinterpret_cast<uint8_t*>(cpb), size) < 0)
      av_free(cpb);
  }
  if (sound && !sound->Open(source, preset, output, error)) return false;
  if (!output.WriteHeader(error)) return false;

  std::int64_t lastDts[2] = {AV_NOPTS_VALUE, AV_NOPTS_VALUE};
  Continuity times[2] = {Continuity(source.timesMayJump), Continuity(source.timesMayJump)};
  double picturesEnd = 0;  // seconds after the first picture
  PacketPtr packet(av_packet_alloc());
  for (;;) {
    if (progress.cancel.load()) return error = "the conversion was cancelled", false;
    int rc = av_read_frame(in, packet.get());
    if (rc == AVERROR_EOF || (rc < 0 && in->pb && avio_feof(in->pb))) break;
    if (rc < 0) return error = "cannot read the source: " + AvError(rc), false;
    int which = packet->stream_index == map[0] ? 0 : (map[1] >= 0 && packet->stream_index == map[1]) ? 1 : -1;
    if (sound && which == 1) {
      bool ok = sound->Add(packet.get(), output, error);
      av_packet_unref(packet.get());
      if (!ok) return false;
      continue;
    }
    if (which < 0) {
      av_packet_unref(packet.get());
      continue;
    }
    const AVStream* from = in->streams[map[which]];
    // Output time starts with the first picture, as on the encode path; the muxer moves
    // sound that starts earlier to non-negative times.
    double tick = av_q2d(from->time_base);
    if (packet->dts != AV_NOPTS_VALUE) times[which].Place(packet->dts * tick - source.originSeconds, packet->duration * tick);
    std::int64_t shift = std::llround((source.originSeconds - times[which].Offset()) / tick);
    if (packet->pts != AV_NOPTS_VALUE) packet->pts -= shift;
    if (packet->dts != AV_NOPTS_VALUE) packet->dts -= shift;
    if (which == 0 && packet->pts != AV_NOPTS_VALUE) {
      std::int64_t at = av_rescale_q(packet->pts, from->time_base, AVRational{1, 10000000});
      if (at > progress.position100ns.load()) progress.position100ns.store(at);  // pictures come out of order
      progress.frames.fetch_add(1);
    }
    packet->stream_index = out[which]->index;
    av_packet_rescale_ts(packet.get(), from->time_base, out[which]->time_base);
    packet->pos = -1;
    // Split sound frames can repeat a decoding time; the muxer needs strictly rising ones.
    if (packet->dts != AV_NOPTS_VALUE && lastDts[which] != AV_NOPTS_VALUE && packet->dts <= lastDts[which]) {
      packet->dts = lastDts[which] + 1;
      if (packet->pts != AV_NOPTS_VALUE && packet->pts < packet->dts) packet->pts = packet->dts;
    }
    if (packet->dts != AV_NOPTS_VALUE) lastDts[which] = packet->dts;
    const double end = packet->pts == AV_NOPTS_VALUE ? 0 : (packet->pts + packet->duration) * av_q2d(out[which]->time_base);
    if (!output.Write(packet.get(), error)) return false;
    if (which == 0) {
      picturesEnd = std::max(picturesEnd, end);
      if (sound && !sound->Follow(picturesEnd, output, error)) return false;
    }
  }
  if (sound && !sound->Finish(picturesEnd, output, error)) return false;
  return output.Finish(error);
}

}  // namespace vantrel::encoder
