// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pictures.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "base/atomic_file.h"

namespace vantrel::test {
namespace {

AVFrame* TwoColourFrame(int width, int height, std::uint32_t left, std::uint32_t right) {
  AVFrame* rgb = av_frame_alloc();
  rgb->format = AV_PIX_FMT_RGB24;
  rgb->width = width;
  rgb->height = height;
  av_frame_get_buffer(rgb, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint32_t c = x < width / 2 ? left : right;
      std::uint8_t* p = rgb->data[0] + y * rgb->linesize[0] + x * 3;
      p[0] = std::uint8_t(c >> 16), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c);
    }
  return rgb;
}

AVFrame* Convert(AVFrame* rgb, AVPixelFormat format) {
  AVFrame* out = av_frame_alloc();
  out->format = format;
  out->width = rgb->width;
  out->height = rgb->height;
  av_frame_get_buffer(out, 0);
  SwsContext* sws = sws_getContext(rgb->width, rgb->height, AV_PIX_FMT_RGB24, rgb->width, rgb->height,
                                   format, SWS_POINT, nullptr, nullptr, nullptr);
  sws_scale(sws, rgb->data, rgb->linesize, 0, rgb->height, out->data, out->linesize);
  sws_freeContext(sws);
  return out;
}

// A PAL8 frame with the two colours as entries 0 and 1.
AVFrame* PaletteFrame(int width, int height, std::uint32_t left, std::uint32_t right) {
  AVFrame* out = av_frame_alloc();
  out->format = AV_PIX_FMT_PAL8;
  out->width = width;
  out->height = height;
  av_frame_get_buffer(out, 0);
  auto* palette = reinterpret_cast<std::uint32_t*>(out->data[1]);
  std::memset(palette, 0, 1024);
  palette[0] = 0xFF000000u | left;
  palette[1] = 0xFF000000u | right;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out->data[0][y * out->linesize[0] + x] = x < width / 2 ? 0 : 1;
  return out;
}

bool EncodeOne(AVCodecID id, AVFrame* frame, std::string& bytes) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (!codec) return false;
  AVCodecContext* c = avcodec_alloc_context3(codec);
  c->width = frame->width;
  c->height = frame->height;
  c->pix_fmt = AVPixelFormat(frame->format);
  c->time_base = AVRational{1, 25};
  if (id == AV_CODEC_ID_MJPEG) c->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
  bool ok = avcodec_open2(c, codec, nullptr) >= 0 && avcodec_send_frame(c, frame) >= 0 &&
            avcodec_send_frame(c, nullptr) >= 0;
  AVPacket* packet = av_packet_alloc();
  while (ok && avcodec_receive_packet(c, packet) >= 0) {
    bytes.append(reinterpret_cast<const char*>(packet->data), size_t(packet->size));
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avcodec_free_context(&c);
  return ok && !bytes.empty();
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

// GIF needs its container header, which FFmpeg's muxer writes.
bool WriteGif(const std::string& path, AVFrame* frame) {
  AVFormatContext* mux = nullptr;
  if (avformat_alloc_output_context2(&mux, nullptr, "gif", path.c_str()) < 0) return false;
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_GIF);
  AVCodecContext* c = avcodec_alloc_context3(codec);
  c->width = frame->width;
  c->height = frame->height;
  c->pix_fmt = AV_PIX_FMT_PAL8;
  c->time_base = AVRational{1, 25};
  bool ok = avcodec_open2(c, codec, nullptr) >= 0;
  AVStream* stream = avformat_new_stream(mux, nullptr);
  avcodec_parameters_from_context(stream->codecpar, c);
  stream->time_base = c->time_base;
  ok = ok && avio_open(&mux->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0;
  ok = ok && avformat_write_header(mux, nullptr) >= 0;
  frame->pts = 0;
  ok = ok && avcodec_send_frame(c, frame) >= 0 && avcodec_send_frame(c, nullptr) >= 0;
  AVPacket* packet = av_packet_alloc();
  while (ok && avcodec_receive_packet(c, packet) >= 0) {
    packet->stream_index = 0;
    av_packet_rescale_ts(packet, c->time_base, stream->time_base);
    ok = av_write_frame(mux, packet) >= 0;
  }
  av_packet_free(&packet);
  if (ok) ok = av_write_trailer(mux) >= 0;
  if (mux->pb) avio_closep(&mux->pb);
  avformat_free_context(mux);
  avcodec_free_context(&c);
  return ok;
}

void Put16(std::string& s, unsigned v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
void Put32(std::string& s, std::uint32_t v) { Put16(s, v & 0xFFFF), Put16(s, v >> 16); }

// An icon file holding one PNG image.
std::string IconAround(const std::string& png, int width, int height) {
  std::string ico;
  Put16(ico, 0), Put16(ico, 1), Put16(ico, 1);
  ico += char(width), ico += char(height), ico += char(0), ico += char(0);
  Put16(ico, 1), Put16(ico, 32), Put32(ico, std::uint32_t(png.size())), Put32(ico, 22);
  return ico + png;
}

// A placeable metafile: two solid rectangles, left and right half, without outlines.
std::string Metafile(int width, int height, std::uint32_t left, std::uint32_t right) {
  auto colourRef = [](std::uint32_t rgb) {  // 0xRRGGBB -> 0x00BBGGRR
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
  };
  std::string records;
  auto record = [&records](unsigned function, std::initializer_list<unsigned> words) {
    Put32(records, std::uint32_t(3 + words.size()));
    Put16(records, function);
    for (unsigned w : words) Put16(records, w);
  };
  record(0x020B, {0, 0});                                  // SetWindowOrg
  record(0x020C, {unsigned(height), unsigned(width)});     // SetWindowExt
  record(0x02FA, {5, 0, 0, 0, 0});                         // CreatePenIndirect, null pen
  record(0x012D, {0});                                     // SelectObject
  const unsigned halves[2][2] = {{0, unsigned(width / 2)}, {unsigned(width / 2), unsigned(width)}};
  for (int i = 0; i < 2; ++i) {
    std::uint32_t c = colourRef(i == 0 ? left : right);
    record(0x02FC, {0, c & 0xFFFF, c >> 16, 0});           // CreateBrushIndirect, solid
    record(0x012D, {1});
    record(0x041B, {unsigned(height), halves[i][1], 0, halves[i][0]});  // Rectangle
    record(0x01F0, {1});                                   // DeleteObject
  }
  record(0x0000, {});                                      // EOF

  std::string header;
  Put16(header, 1), Put16(header, 9), Put16(header, 0x0300);
  Put32(header, std::uint32_t((18 + records.size()) / 2));
  Put16(header, 2), Put32(header, 7), Put16(header, 0);

  std::string placeable;
  Put32(placeable, 0x9AC6CDD7u);
  Put16(placeable, 0);
  Put16(placeable, 0), Put16(placeable, 0), Put16(placeable, unsigned(width)), Put16(placeable, unsigned(height));
  Put16(placeable, 1440);
  Put32(placeable, 0);
  unsigned checksum = 0;
  for (size_t i = 0; i < 20; i += 2)
    checksum ^= unsigned(std::uint8_t(placeable[i])) | (unsigned(std::uint8_t(placeable[i + 1])) << 8);
  Put16(placeable, checksum);
  return placeable + header + records;
}

}  // namespace

bool WriteTwoColourPicture(const std::string& path, PictureFormat format, std::uint32_t left,
                           std::uint32_t right, int width, int height) {
  if (format == PictureFormat::kWmf) return WriteBytes(path, Metafile(width * 20, height * 20, left, right));
  AVFrame* rgb = TwoColourFrame(width, height, left, right);
  std::string bytes;
  bool ok = false;
  auto encodeAs = [&](AVCodecID id, AVPixelFormat pixelFormat) {
    AVFrame* frame = pixelFormat == AV_PIX_FMT_RGB24 ? av_frame_clone(rgb) : Convert(rgb, pixelFormat);
    bool encoded = EncodeOne(id, frame, bytes);
    av_frame_free(&frame);
    return encoded;
  };
  switch (format) {
    case PictureFormat::kBmp: ok = encodeAs(AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24); break;
    case PictureFormat::kJpeg: ok = encodeAs(AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ444P); break;
    case PictureFormat::kPng: ok = encodeAs(AV_CODEC_ID_PNG, AV_PIX_FMT_RGB24); break;
    case PictureFormat::kTiff: ok = encodeAs(AV_CODEC_ID_TIFF, AV_PIX_FMT_RGB24); break;
    case PictureFormat::kTga: ok = encodeAs(AV_CODEC_ID_TARGA, AV_PIX_FMT_BGR24); break;
    case PictureFormat::kPcx: ok = encodeAs(AV_CODEC_ID_PCX, AV_PIX_FMT_RGB24); break;
    case PictureFormat::kIco:
      ok = encodeAs(AV_CODEC_ID_PNG, AV_PIX_FMT_RGB24);
      bytes = IconAround(bytes, width, height);
      break;
    case PictureFormat::kGif: {
      AVFrame* frame = PaletteFrame(width, height, left, right);
      ok = WriteGif(path, frame);
      av_frame_free(&frame);
      av_frame_free(&rgb);
      return ok;
    }
    case PictureFormat::kWmf: break;
  }
  av_frame_free(&rgb);
  return ok && WriteBytes(path, bytes);
}

bool ReadPalettePng(const std::string& path, PngFacts& facts) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  facts.width = int(png_get_image_width(png, info));
  facts.height = int(png_get_image_height(png, info));
  facts.bitDepth = png_get_bit_depth(png, info);
  facts.colourType = png_get_color_type(png, info);
  png_colorp palette = nullptr;
  int entries = 0;
  if (png_get_PLTE(png, info, &palette, &entries)) {
    facts.paletteEntries = entries;
    for (int i = 0; i < entries; ++i)
      facts.palette.push_back((std::uint32_t(palette[i].red) << 16) | (palette[i].green << 8) | palette[i].blue);
  }
  std::vector<png_byte> row(png_get_rowbytes(png, info));
  facts.indices.clear();
  for (int y = 0; y < facts.height; ++y) {
    png_read_row(png, row.data(), nullptr);
    for (int x = 0; x < facts.width; ++x) {
      if (facts.bitDepth == 4)
        facts.indices.push_back((row[size_t(x / 2)] >> (x % 2 ? 0 : 4)) & 0x0F);
      else if (facts.bitDepth == 8)
        facts.indices.push_back(row[size_t(x)]);
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return true;
}

StreamFacts ProbeStream(const std::string& path) {
  StreamFacts facts;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, ("file:" + path).c_str(), nullptr, nullptr) < 0) return facts;
  avformat_find_stream_info(format, nullptr);
  facts.opened = true;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVStream* s = format->streams[i];
    const AVCodecParameters* p = s->codecpar;
    if (p->codec_type == AVMEDIA_TYPE_VIDEO && facts.videoCodec.empty()) {
      facts.videoCodec = avcodec_get_name(p->codec_id);
      facts.videoWidth = p->width;
      facts.videoHeight = p->height;
      facts.frameRate = av_q2d(s->r_frame_rate);
    } else if (p->codec_type == AVMEDIA_TYPE_AUDIO && facts.audioCodec.empty()) {
      facts.audioCodec = avcodec_get_name(p->codec_id);
      facts.audioRate = p->sample_rate;
      facts.audioChannels = p->ch_layout.nb_channels;
    } else if (p->codec_id == AV_CODEC_ID_DVD_SUBTITLE) {
      facts.hasSubpicture = true;
    }
  }
  if (format->duration > 0) facts.durationSeconds = format->duration / double(AV_TIME_BASE);
  avformat_close_input(&format);
  return facts;
}

int CountSubpicturePackets(const std::string& path) {
  std::string data;
  if (!ReadWholeFile(path, data)) return 0;
  int count = 0;
  for (size_t i = 0; i + 9 < data.size(); ++i) {
    if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1 || std::uint8_t(data[i + 3]) != 0xBD) continue;
    // MPEG-2 PES header: length (2), flags (2), header data length (1), then the substream id.
    const size_t headerLength = std::uint8_t(data[i + 8]);
    const size_t id = i + 9 + headerLength;
    if (id < data.size() && (std::uint8_t(data[id]) & 0xE0) == 0x20) ++count;
  }
  return count;
}

int CountNavigationPacks(const std::string& path) {
  std::string data;
  if (!ReadWholeFile(path, data)) return 0;
  int count = 0;
  for (const char* pattern : {"\x00\x00\x01\xBF\x03\xD4", "\x00\x00\x01\xBF\x03\xFA"}) {
    const std::string needle(pattern, 6);
    for (size_t at = data.find(needle); at != std::string::npos; at = data.find(needle, at + 1)) ++count;
  }
  return count;
}

RgbImage GradientThumbnail(int seed) {
  RgbImage image(80, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) {
      std::uint8_t* p = image.Row(y) + x * 3;
      p[0] = std::uint8_t(x * 2 + seed * 5), p[1] = std::uint8_t(y * 4), p[2] = std::uint8_t(200 - seed * 10);
    }
  return image;
}

}  // namespace vantrel::test
