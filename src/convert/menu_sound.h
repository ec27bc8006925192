// SPDX-License-Identifier: GPL-3.0-or-later
// The sound of a menu film: a sound file decoded to 48 kHz stereo, cut to the film's
// length and faded out at its end, or silence.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr int kMenuSoundRate = 48000;
inline constexpr int kMenuSoundChannels = 2;
// The music fades out over this long at the end of the film (a quarter of a short film).
inline constexpr double kMenuFadeSeconds = 2;

// Interleaved 16-bit samples, `seconds` long. An empty `path` gives silence. False with
// the reason when the file holds no sound that can be decoded.
bool MenuSoundSamples(const std::string& path, double seconds, std::vector<std::int16_t>& samples,
                      std::string& error);

// Fades the last `fadeSeconds` of interleaved stereo samples down to nothing.
void FadeOut(std::vector<std::int16_t>& samples, double fadeSeconds);

}  // namespace vantrel
