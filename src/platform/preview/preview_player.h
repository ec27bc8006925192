// SPDX-License-Identifier: GPL-3.0-or-later
// The preview of a title in its properties sheet: load a file, pause, play (pictures only),
// report and set the position in seconds, and tell the owner when the play state changes.
// The frames come from the media layer; a window draws CurrentFrame() scaled.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "base/rgb_image.h"

namespace vantrel::preview {

enum PlayState { kStopped = 0, kPaused = 1, kPlaying = 2 };

// What a properties page asks of its player.
class PreviewPlayer {
 public:
  virtual ~PreviewPlayer() = default;
  virtual void SetFileName(const std::string& path) = 0;
  virtual void Pause() = 0;
  virtual void Play() = 0;
  virtual double CurrentPosition() = 0;
  virtual void SetCurrentPosition(double seconds) = 0;
  virtual int GetPlayState() const = 0;
  // Called on the owner's thread after every change of the play state.
  std::function<void()> onPlayStateChange;
};

// The player over the media layer. Time runs from a steady clock while playing; the owner
// calls Tick() from its timer to move on and to learn whether the picture changed.
class FramePlayer : public PreviewPlayer {
 public:
  FramePlayer();
  ~FramePlayer() override;

  void SetFileName(const std::string& path) override;
  void Pause() override;
  void Play() override;
  double CurrentPosition() override;
  void SetCurrentPosition(double seconds) override;
  int GetPlayState() const override { return state_; }

  bool IsOpen() const;
  double Duration() const { return duration_; }
  // Advances playback; stops at the end of the file. True when a new picture is due.
  bool Tick();
  // The picture at the current position, decoded at its own size (empty when none).
  const RgbImage& CurrentFrame();

 private:
  struct Media;
  void SetState(PlayState state);

  std::unique_ptr<Media> media_;
  PlayState state_ = kStopped;
  double duration_ = 0;
  double position_ = 0;  // while paused or stopped
  std::chrono::steady_clock::time_point playStart_;
  double playStartPosition_ = 0;
  double framePosition_ = -1;  // the position CurrentFrame() holds
  RgbImage frame_;
};

}  // namespace vantrel::preview
