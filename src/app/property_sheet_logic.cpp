// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/property_sheet_logic.h"

#include "base/duration_text.h"
#include "media/title_file_facts.h"

namespace vantrel::app {

PropertyPage1 Page1Values(const TitleRecord& title) {
  PropertyPage1 values{title.SourcePath, title.ResolutionText, title.FrameRateText, DurationText(title.Duration)};
  TitleFileFacts facts = ReadTitleFileFacts(title.SourcePath);
  values.container = facts.container;
  values.video = facts.video;
  values.size = facts.size;
  values.sound = facts.sound.empty() ? std::vector<std::string>{Tr(property_texts::kSilent)} : facts.sound;
  return values;
}

PropertyPage2Logic::PropertyPage2Logic(TitleRecord& title, preview::PreviewPlayer& player, PageTimer& timer)
    : record_(title), player_(player), timer_(timer) {}

void PropertyPage2Logic::Init() {
  shown_ = true;
  player_.SetFileName(record_.SourcePath);
  player_.Pause();
  title = record_.DisplayTitle;
  sliderMin = 0;
  sliderMax = int(record_.Duration * 100);
  sliderPosition = int(record_.ThumbnailTime * 100);
  pageSize = int(record_.Duration * 0.1);
  player_.SetCurrentPosition(record_.ThumbnailTime);
}

void PropertyPage2Logic::OnSliderReleased(int position) {
  sliderPosition = position;
  player_.SetCurrentPosition(position * 0.01);
  if (player_.GetPlayState() == preview::kPlaying) {
    player_.Pause();
    timer_.StopTimer(property_texts::kPositionTimer);
  }
}

void PropertyPage2Logic::OnPlayStateChange() {
  const int state = player_.GetPlayState();
  if (state == preview::kPlaying)
    timer_.StartTimer(property_texts::kPositionTimer, property_texts::kPositionTimerMs);
  else  // paused, or stopped at the end of the file
    timer_.StopTimer(property_texts::kPositionTimer);
}

void PropertyPage2Logic::OnTimer() { sliderPosition = int(player_.CurrentPosition() * 100); }

void PropertyPage2Logic::OnOk(const std::string& editText) {
  if (!shown_) return;
  title = editText;
  record_.DisplayTitle = editText;
  record_.ThumbnailTime = player_.CurrentPosition();
}

}  // namespace vantrel::app
