// SPDX-License-Identifier: GPL-3.0-or-later
// Raster formats go through FFmpeg's image decoders, metafiles through libwmf.
#include "menu/picture_loader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
#include <libwmf/api.h>
#include <libwmf/gd.h>
}

#include <algorithm>
#include <memory>
#include <cstring>

#include "base/atomic_file.h"
#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"
#include "base/paths.h"
#include "base/readable_file.h"
#include "base/translation.h"

namespace vantrel {
namespace {

// Pictures bigger than this are refused rather than allowed to eat the memory.
constexpr int kMaxSide = 8192;
// Metafiles have no pixel size of their own; they are played at about frame size.
constexpr int kMetafileSide = 1024;


bool FrameToPicture(const AVFrame* frame, Picture& picture) {
  if (frame->width <= 0 || frame->height <= 0 || frame->width > kMaxSide || frame->height > kMaxSide)
    return false;
  SwsContext* sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format),
                                   frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_POINT,
                                   nullptr, nullptr, nullptr);
  if (!sws) return false;
  picture.width = frame->width;
  picture.height = frame->height;
  picture.pixels.assign(size_t(frame->width) * size_t(frame->height), 0);
  uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(picture.pixels.data()), nullptr, nullptr, nullptr};
  int dstStride[4] = {frame->width * 4, 0, 0, 0};
  sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
  sws_freeContext(sws);
  // BGRA bytes are 0xAARRGGBB words on a little-endian machine; cairo wants premultiplied.
  for (std::uint32_t& p : picture.pixels) {
    std::uint32_t a = p >> 24;
    if (a == 255) continue;
    auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    p = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
  }
  return true;
}

bool DecodePacket(const AVCodecParameters* parameters, AVCodecID id, AVPacket* packet,
                  Picture& picture) {
  const AVCodec* codec = avcodec_find_decoder(id);
  if (!codec) return false;
  CodecPtr context(avcodec_alloc_context3(codec));
  if (!context) return false;
  if (parameters && avcodec_parameters_to_context(context.get(), parameters) < 0) return false;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return false;
  FramePtr frame(av_frame_alloc());
  if (avcodec_send_packet(context.get(), packet) < 0) return false;
  avcodec_send_packet(context.get(), nullptr);
  if (avcodec_receive_frame(context.get(), frame.get()) < 0) return false;
  return FrameToPicture(frame.get(), picture);
}

// Single-image formats: the whole file is one packet for the format's decoder.
bool DecodeWholeFile(const std::string& path, AVCodecID id, Picture& picture) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes) || bytes.empty() || bytes.size() > (1u << 30)) return false;
  PacketPtr packet(av_packet_alloc());
  if (!packet || av_new_packet(packet.get(), int(bytes.size())) < 0) return false;
  std::memcpy(packet->data, bytes.data(), bytes.size());
  return DecodePacket(nullptr, id, packet.get(), picture);
}

// Container formats (icons with several images): the largest image.
bool DecodeFirstOfContainer(const std::string& path, const char* formatName, Picture& picture) {
  const AVInputFormat* input = av_find_input_format(formatName);
  AVFormatContext* raw = nullptr;
  // "file:" keeps a name with a colon from being taken for another protocol.
  if (!input || avformat_open_input(&raw, ("file:" + path).c_str(), input, nullptr) < 0) return false;
  InputPtr format(raw);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return false;
  int best = -1;
  int64_t bestArea = -1;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVCodecParameters* p = format->streams[i]->codecpar;
    if (p->codec_type != AVMEDIA_TYPE_VIDEO) continue;
    int64_t area = int64_t(p->width) * p->height;
    if (area > bestArea) best = int(i), bestArea = area;
  }
  if (best < 0) return false;
  PacketPtr packet(av_packet_alloc());
  while (av_read_frame(format.get(), packet.get()) >= 0) {
    if (packet->stream_index == best) {
      const AVCodecParameters* p = format->streams[best]->codecpar;
      bool ok = DecodePacket(p, p->codec_id, packet.get(), picture);
      av_packet_unref(packet.get());
      return ok;
    }
    av_packet_unref(packet.get());
  }
  return false;
}

bool DecodeMetafile(const std::string& path, Picture& picture) {
  wmfAPI* api = nullptr;
  wmfAPI_Options options{};
  options.function = wmf_gd_function;
  unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL;
  if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
    if (api) wmf_api_destroy(api);
    return false;
  }
  bool ok = false;
  wmfD_Rect box;
  unsigned int width = 0, height = 0;
  if (wmf_file_open(api, path.c_str()) == wmf_E_None) {
    if (wmf_scan(api, 0, &box) == wmf_E_None &&
        wmf_display_size(api, &width, &height, 72, 72) == wmf_E_None && width > 0 && height > 0) {
      // Keep the picture's shape at a size that stays sharp when stretched over a frame.
      double scale = double(kMetafileSide) / std::max(width, height);
      width = std::max(1u, unsigned(width * scale));
      height = std::max(1u, unsigned(height * scale));
      wmf_gd_t* device = WMF_GD_GetData(api);
      device->type = wmf_gd_image;
      device->bbox = box;
      device->width = width;
      device->height = height;
      if (wmf_play(api, 0, &box) == wmf_E_None && device->gd_image) {
        const int* pixels = wmf_gd_image_pixels(device->gd_image);
        if (pixels) {
          picture.width = int(width);
          picture.height = int(height);
          picture.pixels.resize(size_t(width) * height);
          // gd keeps 7 bits of transparency (0 opaque) above 0xRRGGBB.
          for (size_t i = 0; i < picture.pixels.size(); ++i) {
            std::uint32_t p = std::uint32_t(pixels[i]);
            std::uint32_t transparency = (p >> 24) & 0x7F;
            picture.pixels[i] = transparency == 0 ? (0xFF000000u | (p & 0xFFFFFF)) : 0;
          }
          ok = true;
        }
      }
    }
    wmf_file_close(api);
  }
  wmf_api_destroy(api);
  return ok;
}

}  // namespace

std::optional<PictureFormat> PictureFormatForPath(const std::string& path) {
  // Only the last "." counts, also when it lies in a folder name.
  const std::string ext = AsciiLower(ExtensionOf(path));
  if (ext == "bmp") return PictureFormat::kBmp;
  if (ext == "jpg" || ext == "jpeg") return PictureFormat::kJpeg;
  if (ext == "gif") return PictureFormat::kGif;
  if (ext == "png") return PictureFormat::kPng;
  if (ext == "ico") return PictureFormat::kIco;
  if (ext == "tif" || ext == "tiff") return PictureFormat::kTiff;
  if (ext == "tga") return PictureFormat::kTga;
  if (ext == "pcx") return PictureFormat::kPcx;
  if (ext == "wmf") return PictureFormat::kWmf;
  return std::nullopt;
}

namespace {

// JPEG and PNG files say where they end: a file cut short (a download that stopped) still
// decodes to a grey or black lower part, so its end is looked for.
bool CutShort(const std::string& bytes, PictureFormat format) {
  if (format == PictureFormat::kJpeg) {
    std::size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] == '\0') --end;  // some writers pad the file
    return end < 2 || bytes.compare(end - 2, 2, "\xFF\xD9") != 0;
  }
  if (format == PictureFormat::kPng) return bytes.find("IEND") == std::string::npos;
  return false;
}

}  // namespace

std::string PictureUnusableReason(const std::string& path) {
  if (std::string why = UnreadableFileReason(path); !why.empty()) return why;
  const std::optional<PictureFormat> format = PictureFormatForPath(path);
  if (!format) return Tr("菜单背景只能是 bmp、jpg、gif、png、ico、tif、tga、pcx 或 wmf 图片");
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return Tr("无法读取图片文件");
  if (bytes.empty()) return Tr("图片文件是空的");
  if (CutShort(bytes, *format)) return Tr("图片文件不完整（文件在图片结束之前就断了）");
  Picture picture;
  if (!LoadPicture(path, *format, picture)) return Tr("无法解码这个图片文件，它不是扩展名所说的格式或已经损坏");
  return "";
}

bool LoadPicture(const std::string& path, PictureFormat format, Picture& picture) {
  RouteFfmpegLog();
  picture = Picture{};
  bool ok = false;
  switch (format) {
    case PictureFormat::kBmp: ok = DecodeWholeFile(path, AV_CODEC_ID_BMP, picture); break;
    case PictureFormat::kJpeg: ok = DecodeWholeFile(path, AV_CODEC_ID_MJPEG, picture); break;
    case PictureFormat::kGif: ok = DecodeWholeFile(path, AV_CODEC_ID_GIF, picture); break;
    case PictureFormat::kPng: ok = DecodeWholeFile(path, AV_CODEC_ID_PNG, picture); break;
    case PictureFormat::kIco: ok = DecodeFirstOfContainer(path, "ico", picture); break;
    case PictureFormat::kTiff: ok = DecodeWholeFile(path, AV_CODEC_ID_TIFF, picture); break;
    case PictureFormat::kTga: ok = DecodeWholeFile(path, AV_CODEC_ID_TARGA, picture); break;
    case PictureFormat::kPcx: ok = DecodeWholeFile(path, AV_CODEC_ID_PCX, picture); break;
    case PictureFormat::kWmf: ok = DecodeMetafile(path, picture); break;
  }
  if (!ok) picture = Picture{};
  return ok;
}

}  // namespace vantrel
