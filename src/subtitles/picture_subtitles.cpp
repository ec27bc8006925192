// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/picture_subtitles.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "base/ffmpeg_log.h"
#include "base/ffmpeg_ptr.h"

namespace vantrel {
namespace {

// A subtitle that names no end shows until the next one, or this long at most.
constexpr std::int64_t kLongestShownMs = 10000;

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

constexpr std::uint32_t Pack(int r, int g, int b, int a) {
  return std::uint32_t(r) << 24 | std::uint32_t(g) << 16 | std::uint32_t(b) << 8 | std::uint32_t(a);
}
int R(std::uint32_t p) { return int(p >> 24 & 0xFF); }
int G(std::uint32_t p) { return int(p >> 16 & 0xFF); }
int B(std::uint32_t p) { return int(p >> 8 & 0xFF); }
int A(std::uint32_t p) { return int(p & 0xFF); }

int Distance(std::uint32_t a, const std::array<int, 3>& c) {
  const int dr = R(a) - c[0], dg = G(a) - c[1], db = B(a) - c[2];
  return dr * dr + dg * dg + db * db;
}

// The three colours: a few rounds of k-means over the visible pixels, started from the
// darkest, the brightest and the middle one, so that outline, fill and edge find their own.
std::array<std::array<int, 3>, 3> ThreeColours(const std::vector<std::uint32_t>& visible) {
  auto luma = [](std::uint32_t p) { return R(p) * 299 + G(p) * 587 + B(p) * 114; };
  std::vector<std::uint32_t> sorted = visible;
  std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) { return luma(a) < luma(b); });
  std::array<std::array<int, 3>, 3> centres;
  const std::uint32_t starts[3] = {sorted.back(), sorted.front(), sorted[sorted.size() / 2]};
  for (int k = 0; k < 3; ++k) centres[k] = {R(starts[k]), G(starts[k]), B(starts[k])};
  for (int round = 0; round < 6; ++round) {
    std::array<std::array<std::int64_t, 4>, 3> sums{};
    for (std::uint32_t p : visible) {
      int best = 0;
      for (int k = 1; k < 3; ++k)
        if (Distance(p, centres[k]) < Distance(p, centres[best])) best = k;
      sums[best][0] += R(p), sums[best][1] += G(p), sums[best][2] += B(p), ++sums[best][3];
    }
    for (int k = 0; k < 3; ++k)
      if (sums[k][3])
        for (int c = 0; c < 3; ++c) centres[k][c] = int(sums[k][c] / sums[k][3]);
  }
  return centres;
}

// The source's subtitle canvas: the stream's own size, else the video's, else the rects'.
void CanvasSize(const AVFormatContext* input, const AVStream* stream, int* width, int* height) {
  *width = stream->codecpar->width;
  *height = stream->codecpar->height;
  if (*width > 0 && *height > 0) return;
  for (unsigned i = 0; i < input->nb_streams; ++i)
    if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      *width = input->streams[i]->codecpar->width;
      *height = input->streams[i]->codecpar->height;
      return;
    }
}

// One decoded subtitle drawn onto the canvas, scaled to the disc's picture (nearest pixel:
// a subpicture has no colours between its own to blend into).
SubpictureBitmap Draw(const AVSubtitle& subtitle, int canvasWidth, int canvasHeight, const SubpictureGeometry& geometry) {
  int cw = canvasWidth, ch = canvasHeight;
  for (unsigned i = 0; i < subtitle.num_rects; ++i) {
    cw = std::max(cw, subtitle.rects[i]->x + subtitle.rects[i]->w);
    ch = std::max(ch, subtitle.rects[i]->y + subtitle.rects[i]->h);
  }
  std::vector<std::uint32_t> canvas(size_t(cw) * size_t(ch), 0);
  for (unsigned i = 0; i < subtitle.num_rects; ++i) {
    const AVSubtitleRect& rect = *subtitle.rects[i];
    if (rect.type != SUBTITLE_BITMAP || !rect.data[0] || !rect.data[1]) continue;
    const auto* palette = reinterpret_cast<const std::uint32_t*>(rect.data[1]);  // native 0xAARRGGBB
    for (int y = 0; y < rect.h; ++y)
      for (int x = 0; x < rect.w; ++x) {
        const std::uint32_t argb = palette[rect.data[0][size_t(y) * size_t(rect.linesize[0]) + size_t(x)]];
        canvas[size_t(rect.y + y) * size_t(cw) + size_t(rect.x + x)] =
            Pack(int(argb >> 16 & 0xFF), int(argb >> 8 & 0xFF), int(argb & 0xFF), int(argb >> 24));
      }
  }
  // The canvas covers the title's pictures, which a letterboxed (or pillarboxed) title
  // shows inside its bars: the subtitles go there too, in the same shape.
  const SafeArea area = geometry.PictureArea();
  std::vector<std::uint32_t> scaled(size_t(geometry.width) * size_t(geometry.height), 0);
  for (int y = 0; y < area.height; ++y)
    for (int x = 0; x < area.width; ++x)
      scaled[size_t(area.y + y) * size_t(geometry.width) + size_t(area.x + x)] =
          canvas[size_t(y * ch / area.height) * size_t(cw) + size_t(x * cw / area.width)];
  return FourColourBitmap(scaled, geometry.width, geometry.height);
}

}  // namespace

SubpictureBitmap FourColourBitmap(const std::vector<std::uint32_t>& rgba, int width, int height) {
  SubpictureBitmap bitmap;
  int left = width, top = height, right = -1, bottom = -1;
  std::vector<std::uint32_t> visible;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = rgba[size_t(y) * size_t(width) + size_t(x)];
      if (A(p) < 128) continue;
      visible.push_back(p);
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
  if (visible.empty()) return bitmap;
  const auto centres = ThreeColours(visible);
  left -= left % 2;
  top -= top % 2;
  bottom = std::min(height - 1, bottom + ((bottom - top + 1) % 2));
  bitmap.x = left, bitmap.y = top, bitmap.width = right - left + 1, bitmap.height = bottom - top + 1;
  bitmap.index.assign(size_t(bitmap.width) * size_t(bitmap.height), kTransparent);
  const SubpictureIndex indices[3] = {kFill, kOutline, kShade};
  for (int k = 0; k < 3; ++k)
    bitmap.palette[indices[k]] =
        std::uint32_t(centres[k][0]) << 16 | std::uint32_t(centres[k][1]) << 8 | std::uint32_t(centres[k][2]);
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      const std::uint32_t p = rgba[size_t(y) * size_t(width) + size_t(x)];
      if (A(p) < 128) continue;
      int best = 0;
      for (int k = 1; k < 3; ++k)
        if (Distance(p, centres[k]) < Distance(p, centres[best])) best = k;
      bitmap.index[size_t(y - top) * size_t(bitmap.width) + size_t(x - left)] = indices[best];
    }
  return bitmap;
}

bool ReadPictureSubtitles(const std::string& path, int streamIndex, const SubpictureGeometry& geometry,
                          std::vector<Subpicture>* pictures, std::string* error) {
  RouteFfmpegLog();
  pictures->clear();
  AVFormatContext* raw = nullptr;
  if (int code = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); code < 0)
    return *error = "cannot open " + path + ": " + AvError(code), false;
  InputPtr input(raw);
  if (int code = avformat_find_stream_info(raw, nullptr); code < 0)
    return *error = "cannot read the streams of " + path + ": " + AvError(code), false;
  if (streamIndex < 0 || streamIndex >= int(raw->nb_streams) ||
      raw->streams[streamIndex]->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE)
    return *error = path + " has no subtitle stream " + std::to_string(streamIndex), false;
  AVStream* stream = raw->streams[streamIndex];
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  CodecPtr decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
  if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
    return *error = "no decoder for subtitles of type " + std::string(avcodec_get_name(stream->codecpar->codec_id)),
           false;
  decoder->pkt_timebase = stream->time_base;
  if (int code = avcodec_open2(decoder.get(), codec, nullptr); code < 0)
    return *error = "the subtitle decoder cannot be opened: " + AvError(code), false;
  int canvasWidth = 0, canvasHeight = 0;
  CanvasSize(raw, stream, &canvasWidth, &canvasHeight);
  for (unsigned i = 0; i < raw->nb_streams; ++i)
    if (int(i) != streamIndex) raw->streams[i]->discard = AVDISCARD_ALL;
  const std::int64_t origin = raw->start_time != AV_NOPTS_VALUE ? raw->start_time / 1000 : 0;

  PacketPtr packet(av_packet_alloc());
  bool open = false;  // the last picture waits for its end
  int code = 0;
  auto closeAt = [&](std::int64_t ms) {
    if (!open) return;
    Subpicture& last = pictures->back();
    last.endMs = std::min(ms, last.startMs + kLongestShownMs);
    if (last.endMs <= last.startMs) pictures->pop_back();
    open = false;
  };
  while ((code = av_read_frame(raw, packet.get())) >= 0) {
    if (packet->stream_index == streamIndex && packet->pts != AV_NOPTS_VALUE) {
      AVSubtitle subtitle{};
      int got = 0;
      if (avcodec_decode_subtitle2(decoder.get(), &subtitle, &got, packet.get()) >= 0 && got) {
        const std::int64_t at = av_rescale_q(packet->pts, stream->time_base, AVRational{1, 1000}) - origin;
        const std::int64_t start = at + subtitle.start_display_time;
        closeAt(start);
        SubpictureBitmap bitmap = Draw(subtitle, canvasWidth, canvasHeight, geometry);
        if (!bitmap.Empty()) {
          std::int64_t end = std::numeric_limits<std::int64_t>::max();
          if (packet->duration > 0)
            end = av_rescale_q(packet->pts + packet->duration, stream->time_base, AVRational{1, 1000}) - origin;
          else if (subtitle.end_display_time > subtitle.start_display_time && subtitle.end_display_time != UINT32_MAX)
            end = at + subtitle.end_display_time;
          pictures->push_back({std::max<std::int64_t>(0, start), end, std::move(bitmap)});
          open = end == std::numeric_limits<std::int64_t>::max();
          if (!open && pictures->back().endMs <= pictures->back().startMs) pictures->pop_back();
        }
        avsubtitle_free(&subtitle);
      }
    }
    av_packet_unref(packet.get());
  }
  if (code != AVERROR_EOF) return *error = "the subtitles cannot be read to the end: " + AvError(code), false;
  closeAt(pictures->empty() ? 0 : pictures->back().startMs + kLongestShownMs);
  std::stable_sort(pictures->begin(), pictures->end(),
                   [](const Subpicture& a, const Subpicture& b) { return a.startMs < b.startMs; });
  // A picture gives way to the next: a subpicture stream shows one at a time.
  for (size_t i = 0; i + 1 < pictures->size(); ++i)
    (*pictures)[i].endMs = std::min((*pictures)[i].endMs, (*pictures)[i + 1].startMs);
  std::erase_if(*pictures, [](const Subpicture& p) { return p.endMs <= p.startMs; });
  if (pictures->empty()) return *error = path + ": subtitle stream " + std::to_string(streamIndex) + " shows nothing", false;
  return true;
}

}  // namespace vantrel
