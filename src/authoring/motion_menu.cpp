// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/motion_menu.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "base/run_cancel.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "convert/clip_frames.h"
#include "convert/menu_movie.h"
#include "convert/menu_sound.h"
#include "menu/menu_model.h"
#include "menu/page_layer.h"

namespace vantrel {
namespace {

struct ButtonClip {
  Rect rect;
  std::unique_ptr<ClipFrames> frames;
  std::string source;
};

// Copies `clip` into `picture` at `rect`, the part inside the frame.
void Paste(const RgbImage& clip, const Rect& rect, RgbImage& picture) {
  const int left = std::max(0, rect.left), top = std::max(0, rect.top);
  const int right = std::min(picture.width, rect.left + clip.width);
  const int bottom = std::min(picture.height, rect.top + clip.height);
  if (right <= left) return;
  for (int y = top; y < bottom; ++y)
    std::memcpy(picture.Row(y) + std::size_t(left) * 3,
                clip.Row(y - rect.top) + std::size_t(left - rect.left) * 3, std::size_t(right - left) * 3);
}

double Seconds(const MenuMotion& motion) {
  return std::clamp(motion.seconds, MenuMotion::kMinSeconds, MenuMotion::kMaxSeconds);
}

}  // namespace

int MotionFrameCount(double seconds, bool ntsc) {
  return std::max(1, int(std::lround(seconds * (ntsc ? 30000.0 / 1001 : 25.0))));
}

bool MakeMotionPage(const MenuPage& page, const MotionPageInputs& in, std::string& error) {
  PageLayer layer;
  if (!ReadPageLayer(in.layer, layer)) {
    error = Format(Tr("无法读取菜单页面图像 %s"), in.layer.c_str());
    return false;
  }
  const double seconds = Seconds(in.motion);
  std::vector<std::int16_t> sound;
  if (!MenuSoundSamples(in.motion.music, seconds, sound, error)) {
    error = Format(Tr("无法使用菜单音乐 %s: %s"), in.motion.music.c_str(), error.c_str());
    return false;
  }
  std::vector<ButtonClip> clips;
  if (in.motion.thumbnails)
    for (const MenuEntry* entry : page.Titles) {
      ButtonClip clip{entry->ThumbnailRect, std::make_unique<ClipFrames>(), entry->SourcePath};
      if (clip.rect.width <= 0 || clip.rect.height <= 0) continue;
      if (!clip.frames->Open(entry->SourcePath, entry->ClipStart, clip.rect.width, clip.rect.height, error)) {
        error = Format(Tr("标题 %d (%s) 的动态缩略图失败: %s"), entry->TitleNumber, entry->Caption.c_str(), error.c_str());
        return false;
      }
      clips.push_back(std::move(clip));
    }
  ClipFrames background;
  const bool underVideo = !in.motion.backgroundVideo.empty();
  if (underVideo && !background.Open(in.motion.backgroundVideo, 0, layer.width, layer.height, error)) {
    error = Format(Tr("无法使用菜单背景视频 %s: %s"), in.motion.backgroundVideo.c_str(), error.c_str());
    return false;
  }

  MenuMovieWriter writer;
  if (!writer.Open(in.output, MenuFilmFormat{in.ntsc, in.sound, in.threads}, std::move(sound), error)) return false;
  if (layer.width != writer.Width() || layer.height != writer.Height()) {
    error = Format(Tr("无法读取菜单页面图像 %s"), in.layer.c_str());
    return false;
  }
  const RgbImage still = LayerPicture(layer);
  RgbImage picture;
  const int frames = MotionFrameCount(seconds, in.ntsc);
  for (int i = 0; i < frames; ++i) {
    // A stopped run leaves no film behind (the writer removes its unfinished file).
    if (CancelRequested()) {
      error = Tr("运行已取消。");
      return false;
    }
    const double at = double(i) / writer.FrameRate();
    if (underVideo) {
      const RgbImage* under = background.At(at, error);
      if (!under) {
        error = Format(Tr("无法使用菜单背景视频 %s: %s"), in.motion.backgroundVideo.c_str(), error.c_str());
        return false;
      }
      picture = *under;
      CompositeOver(layer, picture);
    } else {
      picture = still;
    }
    for (ButtonClip& clip : clips) {
      const RgbImage* shown = clip.frames->At(at, error);
      if (!shown) {
        error = Format(Tr("动态缩略图 %s 读取失败: %s"), clip.source.c_str(), error.c_str());
        return false;
      }
      Paste(*shown, clip.rect, picture);
    }
    if (!writer.AddPicture(picture, error)) return false;
  }
  return writer.Finish(error);
}

std::string MenuMotionProblem(const MenuMotion& motion) {
  std::string why;
  if (!motion.backgroundVideo.empty()) {
    ClipFrames video;
    if (!video.Open(motion.backgroundVideo, 0, 16, 16, why) || !video.At(0, why))
      return Format(Tr("无法使用菜单背景视频 %s: %s"), motion.backgroundVideo.c_str(), why.c_str());
  }
  if (!motion.music.empty()) {
    std::vector<std::int16_t> samples;
    if (!MenuSoundSamples(motion.music, 0.1, samples, why))
      return Format(Tr("无法使用菜单音乐 %s: %s"), motion.music.c_str(), why.c_str());
  }
  return "";
}

}  // namespace vantrel
