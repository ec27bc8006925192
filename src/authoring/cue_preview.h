// SPDX-License-Identifier: GPL-3.0-or-later
// A subtitle cue as the disc will show it: the title's picture at the cue's moment in the
// disc's frame (the film between black bars where the encoder puts it there), with the
// picture the run draws for that moment over it, in the colours the title's table gives it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "authoring/title_subtitles.h"
#include "base/rgb_image.h"
#include "base/tv_standard.h"
#include "subtitles/subpicture_renderer.h"

namespace vantrel {

struct CuePreviewInputs {
  std::string source;  // the title's file: the picture under the cue
  TvStandard standard = TvStandard::Pal;
  bool wide = false;   // the title's pictures are 16:9
  SafeArea film{};     // where the film lies in the frame, bars around it; empty: all of it
};

// The title's picture `sourceMs` after the source's start, 720 x 576 or 720 x 480 stored
// pixels (to be shown at the title's shape), with `shown` painted over it (null: nothing).
// False with the reason when the title's picture cannot be read.
bool RenderFramePreview(const CuePreviewInputs& inputs, std::int64_t sourceMs, const SubpictureBitmap* shown,
                        RgbImage* picture, std::string* error);

// Paints the subpicture's visible pixels over `picture` (its size the subpicture's frame).
void PaintSubpicture(const SubpictureBitmap& bitmap, RgbImage* picture);

// A title's subtitle tracks drawn as the run draws them, each once, for previewing their
// cues. The colours of a cue are the run's: the title's tracks share one table, which the
// earlier tracks fill first, so a track shows in what the tracks before it left.
class TitleCuePreview {
 public:
  // The title as the run makes it: source, standard, shape, film area and picturesFrom.
  explicit TitleCuePreview(const TitleSubtitleInputs& inputs);

  // A track's pictures, timed from the title's first picture; null with the reason when
  // the track cannot be drawn.
  const std::vector<Subpicture>* Track(const SubtitleTrack& track, std::string* error);

  // What `tracks[row]` shows `titleMs` into the title, in the colours the title's table
  // gives it among `tracks` (empty when it shows nothing then).
  bool ShownAt(const std::vector<SubtitleTrack>& tracks, size_t row, std::int64_t titleMs, SubpictureBitmap* shown,
               std::string* error);

  // The preview of that moment: the title's picture with the cue over it.
  bool Render(const std::vector<SubtitleTrack>& tracks, size_t row, std::int64_t titleMs, RgbImage* picture,
              std::string* error);

  std::int64_t PicturesFromMs() const;
  const TitleSubtitleInputs& Inputs() const { return inputs_; }

 private:
  struct Drawn {
    SubtitleTrack track;
    bool ok = false;
    std::string error;
    std::vector<Subpicture> pictures;
  };
  TitleSubtitleInputs inputs_;
  TitleSubtitleDrawer drawer_;
  std::deque<Drawn> drawn_;
};

}  // namespace vantrel
