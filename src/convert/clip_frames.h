// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of a video file from a chosen moment on, one for each moment a menu film
// asks for, scaled to the size they are shown at. At the end of the file the clip starts
// again from its first moment, so a clip longer than what the file holds loops.
#pragma once

#include <memory>
#include <string>

#include "base/rgb_image.h"

namespace vantrel {

class ClipFrames {
 public:
  ClipFrames();
  ~ClipFrames();
  ClipFrames(const ClipFrames&) = delete;
  ClipFrames& operator=(const ClipFrames&) = delete;

  // Opens `path` for pictures of `width` x `height` from `startSeconds` (after the file's
  // first moment) on; false with the reason.
  bool Open(const std::string& path, double startSeconds, int width, int height, std::string& error);
  // The picture a viewer sees `seconds` after the clip's start; the times asked for
  // grow (a smaller one starts the clip again). Null with `error` when the file cannot be read.
  const RgbImage* At(double seconds, std::string& error);

 private:
  struct Decoder;
  std::unique_ptr<Decoder> decoder_;
};

}  // namespace vantrel
