// SPDX-License-Identifier: GPL-3.0-or-later
// One title of the project: a video file the user added, with its facts and menu caption.
#pragma once

#include <string>

#include "project/title_tracks.h"

namespace vantrel {

struct TitleRecord {
  virtual ~TitleRecord() = default;

  std::string SourcePath;
  std::string DisplayTitle;  // file name without folder and last extension, until edited
  std::string FrameRateText;
  std::string ResolutionText;  // "%dx%d"
  float FrameRate = 0;
  double Duration = 0;  // seconds
  double ThumbnailTime = 0.5;
  double ThumbnailShownAt = 0;  // the time of the frame the thumbnail shows
  int ImageIndex = -1;
  std::string Chapters = "0,15:00,30:00,45:00,1:00:00";
  std::string PostCommand = "call vmgm menu 1;";
  // The title's tracks and chapter plan as the project keeps them.
  std::vector<SoundTrack> SoundTracks;
  std::vector<SubtitleTrack> Subtitles;
  ChapterPlan ChapterMarks;
};

// "NTSC(29.97fps)", "PAL(25.00fps)" or "23.98fps".
std::string FrameRateText(float framesPerSecond);
// "%dx%d": width, then height.
std::string ResolutionText(int width, int height);

}  // namespace vantrel
