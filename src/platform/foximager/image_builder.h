// SPDX-License-Identifier: GPL-3.0-or-later
// The image builder's work: a one-page menu whose buttons are the titles' rectangles,
// every title brought through the MPEG encoder to DVD MPEG-2 for the run's standard, and
// the disc authored with the real tools into the work folder's DVD folder. Its files go
// to the work folder's "FoxImage" folder.
#pragma once

#include <functional>
#include <string>

#include "base/tv_standard.h"
#include "platform/foximager/image_builder_ini.h"

namespace vantrel {

class ImageBuilder {
 public:
  // Progress of the current step (percent), its index and the number of steps.
  using Progress = std::function<void(float percent, int step, int steps)>;

  ImageBuilder(ImageBuilderInput input, std::string workFolder, TvStandard standard, Progress progress);

  bool CreateMenuImages();
  bool BuildDvd();
  const std::string& Error() const { return error_; }
  std::string Folder() const { return workFolder_ + "/FoxImage/"; }

 private:
  bool Fail(std::string why);
  bool ConvertTitles(int steps);
  bool MakeMenuStream(int step, int steps);
  bool Author(int step, int steps);

  ImageBuilderInput input_;
  std::string workFolder_;
  TvStandard standard_;
  Progress progress_;
  std::vector<std::string> vobs_;
  bool imagesMade_ = false;
  std::string error_;
};

}  // namespace vantrel
