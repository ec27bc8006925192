// The fast path: a source whose streams are already legal for a DVD gets a new container.
// Packets are copied as they are; the DVD muxer adds the navigation packs.
#include "convert/encoder_internal.h"

namespace vantrel::encoder {

bool RunRemux(SourceFile& source, OutputFile& output, Progress& progress, std::string& error) {
  AVFormatContext* in = source.ctx.get();
  int map[2] = {source.video, source.audio};
  AVStream* out[2] = {};
  for (int i = 0; i < 2; ++i) {
    out[i] = output.AddStream(error);
    if (!out[i]) return false;
    avcodec_parameters_copy(out[i]->codecpar, in->streams[map[i]]->codecpar);
    out[i]->codecpar->codec_tag = 0;
    out[i]->time_base = in->streams[map[i]]->time_base;
  }
  if (!output.WriteHeader(error)) return false;

  PacketPtr packet(av_packet_alloc());
  for (;;) {
    if (progress.cancel.load()) return error = "the conversion was cancelled", false;
    int rc = av_read_frame(in, packet.get());
    if (rc == AVERROR_EOF || (rc < 0 && in->pb && avio_feof(in->pb))) break;
    if (rc < 0) return error = "cannot read the source: " + AvError(rc), false;
    int which = packet->stream_index == map[0] ? 0 : packet->stream_index == map[1] ? 1 : -1;
    if (which < 0) {
      av_packet_unref(packet.get());
      continue;
    }
    const AVStream* from = in->streams[map[which]];
    // Output time starts at the earliest stream start, as on the encode path.
    std::int64_t shift = av_rescale_q(std::int64_t(source.originSeconds * AV_TIME_BASE), AV_TIME_BASE_Q,
                                      from->time_base);
    if (packet->pts != AV_NOPTS_VALUE) packet->pts -= shift;
    if (packet->dts != AV_NOPTS_VALUE) packet->dts -= shift;
    if (which == 0 && packet->pts != AV_NOPTS_VALUE) {
      progress.position100ns.store(av_rescale_q(packet->pts, from->time_base, AVRational{1, 10000000}));
      progress.frames.fetch_add(1);
    }
    packet->stream_index = out[which]->index;
    av_packet_rescale_ts(packet.get(), from->time_base, out[which]->time_base);
    packet->pos = -1;
    if (!output.Write(packet.get(), error)) return false;
  }
  return output.Finish(error);
}

}  // namespace vantrel::encoder
