// SPDX-License-Identifier: GPL-3.0-or-later
// The title properties sheet: page "属性" shows the title's facts, page "菜单" edits its
// menu caption and picks the thumbnail's frame with the preview player.
#pragma once

#include <string>
#include <vector>

#include "platform/preview/preview_player.h"
#include "base/translation.h"
#include "project/title_record.h"

namespace vantrel::app {

namespace property_texts {
inline constexpr int kPage1Id = 136, kPage2Id = 137;
inline constexpr const char* kPage1 = N_("属性");
inline constexpr const char* kPage2 = N_("菜单");
inline constexpr const char* kBasicGroup = N_("基本信息");
inline constexpr const char* kFile = N_("文件:");
inline constexpr const char* kResolution = N_("分辨率:");
inline constexpr const char* kFrameRate = N_("帧率:");
inline constexpr const char* kDuration = N_("持续时间:");
inline constexpr const char* kContainer = N_("格式:");
inline constexpr const char* kVideo = N_("视频:");
inline constexpr const char* kSound = N_("声音:");
inline constexpr const char* kFileSize = N_("文件大小:");
inline constexpr const char* kSilent = N_("无声音");
inline constexpr const char* kTitle = N_("标题:");
inline constexpr const char* kHint = N_("图片作为菜单缩略图，单击播放");
inline constexpr int kFileId = 1023, kResolutionId = 1029, kFrameRateId = 1024, kDurationId = 1025,
                     kPlayerId = 1027, kTitleId = 1026, kSliderId = 1028;
inline constexpr int kPositionTimer = 2001;
inline constexpr int kPositionTimerMs = 100;
}  // namespace property_texts

struct PropertyPage1 {
  std::string file, resolution, frameRate, duration;
  std::string container, video, size;
  std::vector<std::string> sound;  // one line per sound stream; never empty
};
PropertyPage1 Page1Values(const TitleRecord& title);

// Starts and stops the page's position timer.
class PageTimer {
 public:
  virtual ~PageTimer() = default;
  virtual void StartTimer(int id, int intervalMs) = 0;
  virtual void StopTimer(int id) = 0;
};

class PropertyPage2Logic {
 public:
  PropertyPage2Logic(TitleRecord& title, preview::PreviewPlayer& player, PageTimer& timer);

  void Init();                      // the page is shown the first time
  void OnSliderReleased(int position);
  void OnPlayStateChange();
  void OnTimer();                   // position timer: slider follows the player
  void OnOk(const std::string& editText);
  bool Shown() const { return shown_; }

  std::string title;
  int sliderMin = 0, sliderMax = 0, sliderPosition = 0, pageSize = 0;

 private:
  TitleRecord& record_;
  preview::PreviewPlayer& player_;
  PageTimer& timer_;
  bool shown_ = false;
};

}  // namespace vantrel::app
