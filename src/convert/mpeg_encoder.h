// The MPEG encoder: turns any video file that libavformat can read into an MPEG-1/MPEG-2
// program stream of a preset (VCD, SVCD, DVD ...). Decoding and encoding run on two worker
// threads joined by a bounded queue; a source that is already legal for a DVD preset is
// copied stream for stream into the DVD muxer instead of being encoded again.
//
// Output goes to a temporary file beside the target that is renamed over it only when
// everything was written, so a failure never leaves a half file under the target's name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "convert/encoder_preset.h"

namespace vantrel {

enum class EncodeMode { Undecided, Encode, Remux };

class MpegEncoder {
 public:
  MpegEncoder();
  ~MpegEncoder();  // cancels a running job and waits for its threads
  MpegEncoder(const MpegEncoder&) = delete;
  MpegEncoder& operator=(const MpegEncoder&) = delete;

  void SetSource(const std::string& path);
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
