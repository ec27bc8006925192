// SPDX-License-Identifier: GPL-3.0-or-later
// The video editing control's movie operations: a still picture with an audio clip
// rendered into an MPEG file, finished asynchronously with a completion event.
#pragma once

#include <string>

namespace vantrel {

class MovieMaker {
 public:
  static constexpr int kStandardPal = 4;
  static constexpr int kStandardNtsc = 5;

  virtual ~MovieMaker() = default;
  virtual void SetStandard(int standard) = 0;
  virtual void Clear() = 0;
  virtual bool AddStillClip(const std::string& picture, double start, double stop, short flags) = 0;
  virtual bool AddAudioClip(const std::string& audio, double start, double stop) = 0;
  // Starts rendering the timeline into the file; Completed() turns true when it is done.
  virtual bool RenderToFile(const std::string& output) = 0;
  // The completion event: true once per finished render (automatic reset).
  virtual bool Completed() = 0;
};

}  // namespace vantrel
