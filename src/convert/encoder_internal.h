// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces shared by the encoder's two ways of working (encode and stream copy): owning
// wrappers for FFmpeg objects, the opened source, the temporary output file, the job's
// shared counters. Not part of the encoder's public face.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/atomic_file.h"
#include "base/ffmpeg_ptr.h"
#include "convert/bounded_queue.h"
#include "convert/mpeg_encoder.h"
#include "convert/encoder_preset.h"

namespace vantrel::encoder {

std::string AvError(int code);

// Counters the workers write and the owner's thread reads while the job runs.
struct Progress {
  std::atomic<std::int64_t> position100ns{0};
  std::atomic<std::int64_t> frames{0};
  std::atomic<bool> cancel{false};
};

// Keeps one stream's times continuous across a timestamp reset or leap, as program and
// transport streams that were cut or joined together have them; other containers keep
// their times as they are.
class Continuity {
 public:
  explicit Continuity(bool enabled) : enabled_(enabled) {}
  // The corrected time of a frame or packet at `seconds` that lasts `length` seconds.
  double Place(double seconds, double length) {
    double t = seconds + offset_;
    if (enabled_ && started_ && (t < next_ - 1.0 || t > next_ + 10.0)) {
      offset_ += next_ - t;
      t = next_;
    }
    started_ = true;
    next_ = std::max(next_, t + length);
    return t;
  }
  double Offset() const { return offset_; }

 private:
  bool enabled_;
  bool started_ = false;
  double next_ = 0;
  double offset_ = 0;
};

struct SourceFile {
  InputPtr ctx;
  int video = -1;
  int audio = -1;  // -1: no sound (disc formats get a silent track)
  std::int64_t duration100ns = 0;
  double originSeconds = 0;  // start of the first picture: output time 0
  double frameRate = 0;
  double displayAspect = 0;
  bool timesMayJump = false;  // the container's timestamps can be discontinuous

  bool Open(const std::string& path, std::string& error);
};

// A stream copy is possible: MPEG-2 video of the preset's size and rate within the DVD
// limits and MPEG-1 Layer II or AC-3 audio at 48 kHz. `why` tells what rules it out.
bool IsDvdLegalSource(const SourceFile& source, const EncoderPreset& preset, std::string& why);
// The two halves of that test: pictures that may be copied (MPEG-2 of the preset's size,
// rate and, when the preset imposes one, shape), and sound that may be copied (with
// uniformSound, only in the preset's encoding and rate).
bool IsDvdLegalVideo(const SourceFile& source, const EncoderPreset& preset, std::string& why);
bool IsDvdLegalSound(const SourceFile& source, const EncoderPreset& preset, std::string& why);

// How a file source is turned into the preset: copied, copied with new sound, or encoded.
EncodeMode ChooseMode(const SourceFile& source, const EncoderPreset& preset);

// The program stream being written: a temporary file beside the target, renamed over the
// target by Finish and deleted otherwise.
class OutputFile {
 public:
  ~OutputFile();
  bool Create(const std::string& target, const std::string& muxer, int muxRate, std::string& error);
  AVFormatContext* Context() { return ctx_; }
  AVStream* AddStream(std::string& error);
  bool WriteHeader(std::string& error);
  // Takes the packet's content; its timestamps must be in its stream's time base.
  bool Write(AVPacket* packet, std::string& error);
  bool Finish(std::string& error);
  void Abandon();

 private:
  void Close();
  AVFormatContext* ctx_ = nullptr;
  std::string target_;
  PendingFile pending_;
  bool headerWritten_ = false;
};

// A decoded picture or piece of sound on its way to the encoder, placed on the output's
// time line (seconds after its start) by whoever decoded it.
struct Item {
  enum Kind { Video, Audio, End } kind = End;
  FramePtr frame;
  double seconds = 0;
  double length = 0;
};

// Decoded frames in flight between decoding and encoding. Pictures dominate: at most this
// many wait whatever the length of the source. None: the decoder hands each picture over
// and makes the next one while the encoder works on it. A place for one more ran no faster
// and held another picture per title while titles encode side by side.
inline constexpr std::size_t kQueueCapacity = 0;
// Pieces of sound (a few KiB each) wait beside the pictures, so that the decoder is never
// held up by sound while the encoder is busy with a picture.
inline constexpr std::size_t kSoundItemsWaiting = 8;

// Pictures take the queue's places; sound and the end go by their own.
inline bool PushItem(BoundedQueue<Item>& queue, Item item) {
  const bool light = item.kind != Item::Video;
  return queue.Push(std::move(item), light);
}

// What a job fed with decoded frames (rather than a file) is told before it starts.
struct FedSource {
  bool hasPictures = true;
  bool hasSound = false;
  double displayAspect = 0;  // 0: the pictures' own shape
  BoundedQueue<Item> queue{kQueueCapacity, kSoundItemsWaiting};
};

// The source's sound decoded and encoded to the preset, for a stream copy that keeps the
// pictures but not the sound; a source without sound gets silence. Times are seconds after
// the first picture, as on the encode path.
class SoundConverter {
 public:
  SoundConverter();
  ~SoundConverter();
  // Adds the output's sound stream: call before the output's header is written.
  bool Open(const SourceFile& source, const EncoderPreset& preset, OutputFile& output, std::string& error);
  // A packet of the source's sound stream.
  bool Add(const AVPacket* packet, OutputFile& output, std::string& error);
  // Pictures were written up to `seconds`: a source without sound gets silence up to there,
  // which keeps the muxer's interleaving buffer small.
  bool Follow(double seconds, OutputFile& output, std::string& error);
  bool Finish(double endSeconds, OutputFile& output, std::string& error);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

bool RunTranscode(SourceFile& source, OutputFile& output, const EncoderPreset& preset,
                  Progress& progress, std::string& error);
// Encodes what arrives through `fed.queue` up to its End item.
bool RunFedTranscode(FedSource& fed, OutputFile& output, const EncoderPreset& preset,
                     Progress& progress, std::string& error);
// Copies the pictures; the sound is copied too, or goes through `sound` when it is given.
bool RunRemux(SourceFile& source, OutputFile& output, const EncoderPreset& preset, SoundConverter* sound, Progress& progress,
              std::string& error);

}  // namespace vantrel::encoder
