// SPDX-License-Identifier: GPL-3.0-or-later
// What the frame grabber needs of the window that starts it: its video editing control and
// its ScaleToThumbnail. The main window implements it on top of ThumbnailHost; the command
// line and the tests use ThumbnailHost as it is.
#pragma once

#include <string>

#include "platform/videoedit/video_edit.h"

namespace vantrel {

class ThumbnailOwner {
 public:
  virtual ~ThumbnailOwner() = default;
  virtual CVideoEdit& VideoEdit() = 0;
  // Stretches the whole bitmap file `source` into cx x cy and writes it to `target` at 24
  // bits, through the screen-depth intermediate target + "_32.bmp". False, and nothing
  // written, when the source cannot be read.
  virtual bool ScaleToThumbnail(const std::string& source, int cx, int cy,
                                const std::string& target) = 0;
};

class ThumbnailHost : public ThumbnailOwner {
 public:
  // The depth of the screen's bitmaps, which the intermediate file is written at.
  static constexpr int kScreenBitsPerPixel = 32;

  ThumbnailHost() { control_.Create(); }
  CVideoEdit& VideoEdit() override { return control_; }
  bool ScaleToThumbnail(const std::string& source, int cx, int cy, const std::string& target) override;

 private:
  CVideoEdit control_;
};

}  // namespace vantrel
