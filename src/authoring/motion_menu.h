// SPDX-License-Identifier: GPL-3.0-or-later
// The film of a moving menu page: the page as the renderer drew it, each title's button
// showing its title playing from its thumbnail frame, a background video under the page,
// and the music (or silence), encoded as the page's program stream. The still parts of
// the page keep the still page's pixels; only the thumbnails and the background move.
#pragma once

#include <string>

#include "convert/encoder_preset.h"
#include "menu/menu_choices.h"

namespace vantrel {

struct MenuPage;

struct MotionPageInputs {
  std::string layer;   // the page's layer (MenuRenderer::RenderPageLayer)
  std::string output;  // the program stream, video and sound
  MenuMotion motion;
  bool ntsc = false;
  AudioCodec sound = AudioCodec::Mp2;
  int threads = 0;     // the encoder's; 0 the machine's
};

// False with the reason; nothing is left under `output` then.
bool MakeMotionPage(const MenuPage& page, const MotionPageInputs& inputs, std::string& error);

// The number of pictures of a film of `seconds`.
int MotionFrameCount(double seconds, bool ntsc);

// Why the chosen background video or music cannot be used ("" when they can), checked
// before a run does any work.
std::string MenuMotionProblem(const MenuMotion& motion);

}  // namespace vantrel
