// SPDX-License-Identifier: GPL-3.0-or-later
// The MPEG encoder: turns any video file that libavformat can read into an MPEG-1/MPEG-2
// program stream of a preset (VCD, SVCD, DVD ...). Decoding and encoding run on two worker
// threads joined by a bounded queue; a source that is already legal for a DVD preset is
// copied stream for stream into the DVD muxer instead of being encoded again.
//
// Instead of a file, the encoder can be fed decoded pictures and sound by another thread
// (the encoder module's input pins); the same bounded queue then holds the sender back.
//
// Output goes to a temporary file beside the target that is renamed over it only when
// everything was written, so a failure never leaves a half file under the target's name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "convert/encoder_preset.h"

namespace vantrel {

// Remux copies pictures and sound; RemuxNewSound copies the pictures and encodes the sound.
enum class EncodeMode { Undecided, Encode, Remux, RemuxNewSound };

// What will be fed when the encoder takes frames rather than a file.
struct FedFormat {
  bool video = false;
  int width = 0;
  int height = 0;
  double frameRate = 0;
  double displayAspect = 0;  // 0: square pixels
  bool sound = false;
  std::int64_t duration100ns = 0;
  std::string sourcePath;  // the file the frames are decoded from, when known
};

class MpegEncoder {
 public:
  MpegEncoder();
  ~MpegEncoder();  // cancels a running job and waits for its threads
  MpegEncoder(const MpegEncoder&) = delete;
  MpegEncoder& operator=(const MpegEncoder&) = delete;

  void SetSource(const std::string& path);
  // Takes frames through the Push calls below instead of reading a source file.
  void SetFedSource(const FedFormat& format);
  void SetOutput(const std::string& path);
  void SetPreset(const EncoderPreset& preset);
  const EncoderPreset& Preset() const;  // resolved against the source once started

  // Opens the source, decides between encoding and copying, creates the temporary output
  // and starts the worker threads. False when any of that failed; ErrorText says why.
  // An encoder runs one job: a second Start returns false and changes nothing.
  bool Start();
  // Waits up to timeoutMs for the job to end; true when it has ended (or never started).
  // Start, Wait and Cancel belong to the thread that owns the encoder; the getters below
  // may be called from any thread.
  bool Wait(int timeoutMs);
  // Start, then wait for the end. The result of Succeeded.
  bool Run();
  // Asks the workers to stop; the job then ends as failed and leaves no output.
  void Cancel();

  // Feeding, after a successful Start, from the sender's thread. Each call copies what it
  // is given and blocks while the queue is full; false once the job takes no more (it
  // failed, was cancelled or was told the end). Times are 100 ns units from the start.
  // Pictures are device-independent rows: bottom-up, BGR, 24 or 32 bits, rows padded to 4.
  // With an `owner`, the rows are not copied: the encoder keeps `owner` (and so the rows)
  // alive until it has used them.
  bool PushPicture(const std::uint8_t* rows, std::size_t bytes, int width, int height, int bitsPerPixel,
                   std::int64_t start100ns, std::int64_t end100ns,
                   std::shared_ptr<const void> owner = nullptr);
  // Planar 4:2:0 (Y, then U, then V; rows without padding), borrowed like the rows above.
  bool PushPlanarPicture(const std::uint8_t* planes, std::size_t bytes, int width, int height,
                         std::int64_t start100ns, std::int64_t end100ns, std::shared_ptr<const void> owner);
  // Planar 4:2:0 plane by plane, each plane's rows `strides` bytes apart (at least its
  // width), borrowed like the rows above.
  bool PushPlanarPicture(const std::uint8_t* const planes[3], const int strides[3], int width, int height,
                         std::int64_t start100ns, std::int64_t end100ns, std::shared_ptr<const void> owner);
  // Interleaved 16-bit samples.
  bool PushSound(const std::uint8_t* samples, std::size_t bytes, int channels, int sampleRate,
                 std::int64_t start100ns);
  // Everything was fed: the job finishes its output.
  void EndOfFrames();

  // The display shape of a file's pictures when they are `width` x `height`; 0 when the
  // file cannot be read or its pictures have another size.
  static double DisplayAspectOf(const std::string& path, int width, int height);
  // Whether a file's pictures would be copied rather than encoded for the preset.
  static bool WouldCopy(const std::string& path, const EncoderPreset& preset);
  // Whether a file has a sound stream that can be decoded; false also when it cannot be read.
  static bool HasSound(const std::string& path);

  bool Finished() const;
  bool Succeeded() const;      // the output file is complete under its final name
  std::string ErrorText() const;  // empty unless failed
  EncodeMode Mode() const;

  // Time written so far and length of the source, in 100 ns units.
  std::int64_t Position100ns() const;
  std::int64_t Duration100ns() const;
  std::int64_t FramesEncoded() const;

  struct Job;  // internal

 private:
  std::unique_ptr<Job> job_;
};

// Scans the first 16 KB of a file for the DVD navigation packs (the PCI and DSI private
// stream 2 packets) that authoring needs in a title.
bool HasDvdNavigationPacks(const std::string& path);

}  // namespace vantrel
