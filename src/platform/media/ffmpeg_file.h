// SPDX-License-Identifier: GPL-3.0-or-later
// What the media layer's filters and the media detector share: opening a file with
// libavformat, the facts of its audio and video streams, decoding the picture shown at a
// time and turning pictures into bottom-up device-independent rows.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/types.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace vantrel::media {

using com::HRESULT;

// Failure codes of opening a file, as the filters report them.
inline constexpr HRESULT kFileNotFound = com::Code(0x80070002);   // no such file
inline constexpr HRESULT kUnknownFileType = com::Code(0x80040240);  // VFW_E_UNKNOWN_FILE_TYPE
inline constexpr HRESULT kInvalidFileFormat = com::Code(0x8004022F);  // VFW_E_INVALID_FILE_FORMAT
// Reading stopped before the end: a server that went silent for longer than the network
// timeout, or closed the connection early (ERROR_TIMEOUT).
inline constexpr HRESULT kSourceStopped = com::Code(0x800705B4);
// The file could not be read any further (ERROR_READ_FAULT).
inline constexpr HRESULT kReadFault = com::Code(0x8007001E);

// How long a network source may send nothing before reading gives up: 15 s, or
// VANTREL_NETWORK_TIMEOUT seconds when that is set to a positive number.
double NetworkTimeoutSeconds();

// Why the last MediaFile::Open on the calling thread could not open its file or stream, as
// the system or the server said it ("Server returned 404 Not Found", "Connection
// refused"); "" when it got as far as reading the data.
std::string LastOpenFailure();

struct StreamFacts {
  enum class Kind { Video, Audio };
  Kind kind = Kind::Video;
  int fileIndex = 0;           // index among the file's streams
  double lengthSeconds = 0;
  double frameRate = 0;        // video
  int width = 0, height = 0;   // video
  std::uint32_t fourcc = 0;    // the codec tag, 0 when the container has none
  std::int64_t bitRate = 0;
  int sampleRate = 0, channels = 0;  // audio
  bool decodable = false;      // a decoder exists and the stream has a usable size or rate
  std::string codec;           // the codec's name for people ("MPEG-4 part 2", "ATSC A/52A (AC-3)")
  std::string language;        // the container's language tag, "" when it has none
  double displayAspect = 0;    // video: width / height as shown, 0 when unknown
};

// "scheme://...": what libavformat opens from a server rather than a file.
bool IsUrl(const std::string& path);

class MediaFile {
 public:
  MediaFile() = default;
  ~MediaFile();
  MediaFile(const MediaFile&) = delete;
  MediaFile& operator=(const MediaFile&) = delete;

  // Opens and reads the stream facts; the file is only ever read. Besides local files,
  // URLs (http, rtsp, mms, ...) are opened from their server.
  HRESULT Open(const std::string& path);
  bool IsOpen() const { return format_ != nullptr; }
  const std::string& Path() const { return path_; }
  double DurationSeconds() const { return duration_; }
  // The audio and video streams in file order (other streams are left out).
  const std::vector<StreamFacts>& Streams() const { return streams_; }
  // Index into Streams() of the first stream of the kind, -1 when there is none.
  int FirstOf(StreamFacts::Kind kind) const;
  AVFormatContext* Format() const { return format_; }
  // libavformat's short name of the container ("asf", "mpeg", "avi", ...).
  std::string FormatName() const;
  // While set, every blocking read of a network source returns at once (a stopping run).
  void Interrupt(bool on) { interrupted_ = on; }
  // After a read that returned no packet: S_OK at the true end of the file, the reason
  // otherwise (kSourceStopped for a network source, kReadFault for a file).
  HRESULT ReadFailure(int readResult) const;
  // A network read gave up: nothing arrived for the network timeout.
  bool TimedOut() const { return timedOut_; }

 private:
  static int OnInterruptCheck(void* self);
  bool ReadOverdue();

  std::string path_;
  std::atomic<bool> interrupted_{false};
  std::atomic<bool> timedOut_{false};
  // The read deadline of a network source, kept by the interrupt check on the reading
  // thread (steady clock, nanoseconds): it moves on whenever bytes arrive and when a new
  // read begins, so it holds every read, the opening and the probe included.
  bool network_ = false;
  std::int64_t timeoutNs_ = 0;
  std::int64_t deadline_ = 0;
  std::int64_t lastCheck_ = 0;
  std::int64_t bytesSeen_ = -1;
  AVFormatContext* format_ = nullptr;
  double duration_ = 0;
  std::vector<StreamFacts> streams_;
};

// A picture as device-independent rows: bottom-up, blue-green-red(-x), each row padded to
// a multiple of 4 bytes.
struct DibFrame {
  int width = 0, height = 0, bitsPerPixel = 24;
  std::vector<std::uint8_t> bits;
  int Stride() const { return ((width * bitsPerPixel + 31) / 32) * 4; }
};

// Decodes one video stream of an open file.
class VideoDecoder {
 public:
  VideoDecoder() = default;
  ~VideoDecoder();
  VideoDecoder(const VideoDecoder&) = delete;
  VideoDecoder& operator=(const VideoDecoder&) = delete;

  HRESULT Open(MediaFile& file, int fileStreamIndex);
  // Seeks to the key frame at or before `seconds` and decodes forward to the picture shown
  // at that time (the last one that starts at or before it). Past the end: the last one.
  HRESULT FrameAt(double seconds, DibFrame& out, int width, int height);
  // Converts a decoded frame; `width`/`height` 0 keep the native size.
  bool Convert(const AVFrame* frame, DibFrame& out, int width, int height, int bitsPerPixel);
  AVCodecContext* Codec() const { return codec_; }
  double SecondsOf(const AVFrame* frame) const;

 private:
  HRESULT DecodeForward(double seconds, DibFrame& out, int width, int height);

  MediaFile* file_ = nullptr;
  int stream_ = -1;
  AVCodecContext* codec_ = nullptr;
  SwsContext* sws_ = nullptr;
};

}  // namespace vantrel::media
