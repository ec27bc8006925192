// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/title_playback.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <algorithm>
#include <fstream>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace vantrel::test {
namespace {

const char* AudioFormatName(int format) {
  switch (format) {
    case 0: return "ac3";
    case 2: return "mpeg1";
    case 3: return "mpeg2ext";
    case 4: return "lpcm";
    case 6: return "dts";
    default: return "unknown";
  }
}

// The id stream 1 of a declared format has in a program stream.
int FirstStreamId(const std::string& format) {
  if (format == "ac3") return 0x80;
  if (format == "mpeg1" || format == "mpeg2ext") return 0x1C0;
  if (format == "lpcm") return 0xA0;
  if (format == "dts") return 0x88;
  return -1;
}

// The sectors of a title's cells, in playback order, written to `path`.
bool DumpTitle(dvd_reader_t* dvd, const ifo_handle_t* vts, int vtsTitle, const std::string& path) {
  const ttu_t& ttu = vts->vts_ptt_srpt->title[vtsTitle - 1];
  if (ttu.nr_of_ptts == 0) return false;
  const pgc_t* pgc = vts->vts_pgcit->pgci_srp[ttu.ptt[0].pgcn - 1].pgc;
  dvd_file_t* vob = DVDOpenFile(dvd, 1, DVD_READ_TITLE_VOBS);
  if (!vob) return false;
  std::ofstream out(path, std::ios::binary);
  std::vector<unsigned char> block(DVD_VIDEO_LB_LEN * 64);
  bool ok = true;
  for (int c = 0; c < pgc->nr_of_cells && ok; ++c) {
    const cell_playback_t& cell = pgc->cell_playback[c];
    for (uint32_t sector = cell.first_sector; sector <= cell.last_sector && ok;) {
      const int count = int(std::min<uint32_t>(64, cell.last_sector - sector + 1));
      ok = DVDReadBlocks(vob, int(sector), count, block.data()) == count;
      if (ok) out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(count) * DVD_VIDEO_LB_LEN);
      sector += uint32_t(count);
    }
  }
  DVDCloseFile(vob);
  return ok && bool(out);
}

// The aspect code of the first MPEG sequence header (00 00 01 B3) in the file.
int FirstAspectCode(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> data(1 << 20);
  in.read(reinterpret_cast<char*>(data.data()), std::streamsize(data.size()));
  const std::size_t got = std::size_t(in.gcount());
  for (std::size_t i = 0; i + 8 < got; ++i)
    if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && data[i + 3] == 0xB3) return data[i + 7] >> 4;
  return 0;
}

std::vector<int> AudioIds(const std::string& path) {
  std::vector<int> ids;
  AVFormatContext* ctx = nullptr;
  if (avformat_open_input(&ctx, path.c_str(), nullptr, nullptr) < 0) return ids;
  if (avformat_find_stream_info(ctx, nullptr) >= 0)
    for (unsigned i = 0; i < ctx->nb_streams; ++i)
      if (ctx->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) ids.push_back(ctx->streams[i]->id);
  avformat_close_input(&ctx);
  return ids;
}

}  // namespace

LumaPicture FirstPicture(const std::string& path) {
  LumaPicture luma;
  AVFormatContext* ctx = nullptr;
  if (avformat_open_input(&ctx, path.c_str(), nullptr, nullptr) < 0) return luma;
  int video = avformat_find_stream_info(ctx, nullptr) < 0 ? -1 : av_find_best_stream(ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const AVCodec* codec = video < 0 ? nullptr : avcodec_find_decoder(ctx->streams[video]->codecpar->codec_id);
  AVCodecContext* decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
  if (decoder && avcodec_parameters_to_context(decoder, ctx->streams[video]->codecpar) >= 0 &&
      avcodec_open2(decoder, codec, nullptr) >= 0) {
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool got = false;
    while (!got && av_read_frame(ctx, packet) >= 0) {
      if (packet->stream_index == video && avcodec_send_packet(decoder, packet) >= 0)
        got = avcodec_receive_frame(decoder, frame) >= 0;
      av_packet_unref(packet);
    }
    if (!got && avcodec_send_packet(decoder, nullptr) >= 0) got = avcodec_receive_frame(decoder, frame) >= 0;
    if (got) {
      luma.width = frame->width;
      luma.height = frame->height;
      AVRational sar = av_guess_sample_aspect_ratio(ctx, ctx->streams[video], frame);
      luma.displayAspect = double(frame->width) * (sar.num > 0 ? av_q2d(sar) : 1.0) / frame->height;
      luma.pixels.resize(std::size_t(luma.width) * luma.height);
      for (int y = 0; y < luma.height; ++y)
        std::copy_n(frame->data[0] + std::size_t(y) * frame->linesize[0], luma.width, &luma.pixels[std::size_t(y) * luma.width]);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
  }
  avcodec_free_context(&decoder);
  avformat_close_input(&ctx);
  return luma;
}

namespace {

// Width over height of the part of the middle row and column that is not black.
double ShownAspect(const LumaPicture& luma, int setAspectCode) {
  if (luma.width == 0) return 0;
  constexpr int kBlack = 40;
  int left = luma.width, right = -1, top = luma.height, bottom = -1;
  for (int x = 0; x < luma.width; ++x)
    if (luma.At(x, luma.height / 2) > kBlack) left = std::min(left, x), right = x;
  for (int y = 0; y < luma.height; ++y)
    if (luma.At(luma.width / 2, y) > kBlack) top = std::min(top, y), bottom = y;
  if (right < left || bottom < top) return 0;
  const double frame = setAspectCode == 3 ? 16.0 / 9 : 4.0 / 3;
  return (double(right - left + 1) / luma.width * frame) / (double(bottom - top + 1) / luma.height);
}

}  // namespace

DiscPlayback ReadDiscPlayback(const std::string& folder, const std::string& scratch) {
  DiscPlayback disc;
  dvd_reader_t* dvd = DVDOpen(folder.c_str());
  if (!dvd) return disc;
  ifo_handle_t* vmg = ifoOpen(dvd, 0);
  ifo_handle_t* vts = ifoOpen(dvd, 1);
  if (vmg && vts && vts->vtsi_mat) {
    disc.opened = true;
    // The title set's display aspect: 0 for 4:3, 3 for 16:9; as MPEG codes 2 and 3.
    disc.setAspectCode = vts->vtsi_mat->vts_video_attr.display_aspect_ratio == 3 ? 3 : 2;
    for (int a = 0; a < vts->vtsi_mat->nr_of_vts_audio_streams; ++a)
      disc.setAudio.push_back(AudioFormatName(vts->vtsi_mat->vts_audio_attr[a].audio_format));
    for (int t = 0; vmg->tt_srpt && t < vmg->tt_srpt->nr_of_srpts; ++t) {
      const title_info_t& info = vmg->tt_srpt->title[t];
      if (info.title_set_nr != 1) continue;
      PlayedTitle title;
      title.number = t + 1;
      const std::string dump = scratch + "/title" + std::to_string(t + 1) + ".vob";
      if (DumpTitle(dvd, vts, info.vts_ttn, dump)) {
        title.aspectCode = FirstAspectCode(dump);
        title.audioIds = AudioIds(dump);
        title.shownAspect = ShownAspect(FirstPicture(dump), disc.setAspectCode);
      }
      disc.titles.push_back(title);
    }
  }
  if (vts) ifoClose(vts);
  if (vmg) ifoClose(vmg);
  DVDClose(dvd);
  return disc;
}

std::string PlaybackFaults(const DiscPlayback& disc) {
  if (!disc.opened) return "the disc cannot be opened\n";
  std::string faults;
  const int first = disc.setAudio.empty() ? -1 : FirstStreamId(disc.setAudio.front());
  if (disc.setAudio.empty()) faults += "the title set declares no audio stream\n";
  for (const PlayedTitle& t : disc.titles) {
    const std::string name = "title " + std::to_string(t.number) + ": ";
    if (t.aspectCode != disc.setAspectCode)
      faults += name + "picture aspect code " + std::to_string(t.aspectCode) + ", the title set's is " +
                std::to_string(disc.setAspectCode) + "\n";
    bool holds = false;
    for (int id : t.audioIds) holds = holds || id == first;
    if (first >= 0 && !holds)
      faults += name + "no sound in the title set's audio stream 1 (" + disc.setAudio.front() + ")\n";
  }
  return faults;
}

}  // namespace vantrel::test
