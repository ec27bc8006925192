// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/still_movie_maker.h"

namespace vantrel {

StillMovieMaker::~StillMovieMaker() { Join(); }

void StillMovieMaker::Join() {
  if (render_.joinable()) render_.join();
}

void StillMovieMaker::Clear() {
  Join();
  const bool ntsc = movie_.ntsc;
  movie_ = StillMovie{};
  movie_.ntsc = ntsc;
}

bool StillMovieMaker::AddStillClip(const std::string& picture, double start, double stop, short) {
  if (stop <= start) return false;
  movie_.picture = picture;
  movie_.seconds = stop - start;
  return true;
}

bool StillMovieMaker::AddAudioClip(const std::string& audio, double start, double stop) {
  if (stop <= start) return false;
  movie_.sound = audio;
  return true;
}

bool StillMovieMaker::RenderToFile(const std::string& output) {
  if (movie_.picture.empty()) return false;
  Join();
  completed_ = false;
  render_ = std::thread([this, output, movie = movie_] {
    std::string error;
    RenderStillMovie(movie, output, error);
    error_ = error;
    completed_ = true;
  });
  return true;
}

}  // namespace vantrel
