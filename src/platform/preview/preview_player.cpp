// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/preview/preview_player.h"

#include <algorithm>
#include <cstring>

#include "platform/media/ffmpeg_file.h"

namespace vantrel::preview {

// The preview never needs more than a small picture; decoding smaller keeps playback light.
constexpr int kMaxPreviewWidth = 480;

struct FramePlayer::Media {
  media::MediaFile file;
  media::VideoDecoder decoder;
  int width = 0, height = 0;
};

FramePlayer::FramePlayer() = default;
FramePlayer::~FramePlayer() = default;

bool FramePlayer::IsOpen() const { return media_ != nullptr; }

void FramePlayer::SetFileName(const std::string& path) {
  media_.reset();
  frame_ = {};
  framePosition_ = -1;
  position_ = 0;
  duration_ = 0;
  auto media = std::make_unique<Media>();
  if (com::FAILED(media->file.Open(path))) return;
  const int video = media->file.FirstOf(media::StreamFacts::Kind::Video);
  if (video < 0) return;
  const media::StreamFacts& facts = media->file.Streams()[size_t(video)];
  if (com::FAILED(media->decoder.Open(media->file, facts.fileIndex))) return;
  media->width = std::min(facts.width, kMaxPreviewWidth);
  media->height = facts.width > 0 ? facts.height * media->width / facts.width : facts.height;
  media->width &= ~1;
  media->height &= ~1;
  duration_ = std::max(media->file.DurationSeconds(), facts.lengthSeconds);
  media_ = std::move(media);
  SetState(kStopped);
}

void FramePlayer::SetState(PlayState state) {
  const bool changed = state != state_;
  state_ = state;
  if (changed && onPlayStateChange) onPlayStateChange();
}

double FramePlayer::CurrentPosition() {
  if (state_ != kPlaying) return position_;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - playStart_;
  return std::min(playStartPosition_ + elapsed.count(), duration_);
}

void FramePlayer::SetCurrentPosition(double seconds) {
  seconds = std::clamp(seconds, 0.0, std::max(duration_, 0.0));
  position_ = seconds;
  if (state_ == kPlaying) {
    playStart_ = std::chrono::steady_clock::now();
    playStartPosition_ = seconds;
  }
}

void FramePlayer::Pause() {
  if (!media_) return;
  position_ = CurrentPosition();
  SetState(kPaused);
}

void FramePlayer::Play() {
  if (!media_) return;
  if (position_ >= duration_) position_ = 0;
  playStart_ = std::chrono::steady_clock::now();
  playStartPosition_ = position_;
  SetState(kPlaying);
}

bool FramePlayer::Tick() {
  if (state_ == kPlaying && CurrentPosition() >= duration_) {
    position_ = duration_;
    SetState(kStopped);
  }
  return media_ && CurrentPosition() != framePosition_;
}

const RgbImage& FramePlayer::CurrentFrame() {
  if (!media_) return frame_;
  const double at = CurrentPosition();
  if (at == framePosition_) return frame_;
  media::DibFrame dib;
  if (com::FAILED(media_->decoder.FrameAt(at, dib, media_->width, media_->height)) ||
      dib.bitsPerPixel < 24)
    return frame_;
  RgbImage image(dib.width, dib.height);
  const int bytes = dib.bitsPerPixel / 8;
  for (int y = 0; y < dib.height; ++y) {
    const std::uint8_t* src = dib.bits.data() + size_t(dib.height - 1 - y) * size_t(dib.Stride());
    std::uint8_t* dst = image.Row(y);
    for (int x = 0; x < dib.width; ++x, src += bytes, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  frame_ = std::move(image);
  framePosition_ = at;
  return frame_;
}

}  // namespace vantrel::preview
