// SPDX-License-Identifier: GPL-3.0-or-later
// The movie maker on the MPEG encoder side: a timeline of one still clip and one audio
// clip, rendered on a thread of its own into a DVD program stream.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "authoring/movie_maker.h"
#include "convert/still_movie.h"

namespace vantrel {

class StillMovieMaker : public MovieMaker {
 public:
  ~StillMovieMaker() override;
  void SetStandard(int standard) override { movie_.ntsc = standard == kStandardNtsc; }
  void Clear() override;
  bool AddStillClip(const std::string& picture, double start, double stop, short flags) override;
  bool AddAudioClip(const std::string& audio, double start, double stop) override;
  bool RenderToFile(const std::string& output) override;
  bool Completed() override { return completed_.exchange(false); }
  const std::string& Error() const { return error_; }  // after completion

 private:
  void Join();

  StillMovie movie_;
  std::thread render_;
  std::atomic<bool> completed_{false};
  std::string error_;  // written by the render thread before it signals completion
};

}  // namespace vantrel
