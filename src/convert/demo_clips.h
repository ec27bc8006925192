// SPDX-License-Identifier: GPL-3.0-or-later
// Short synthetic video clips (moving colour bars with a tone) made with the FFmpeg
// encoders, for the demo disc: files of the kinds users bring, some of which need repair.
#pragma once

#include <string>

namespace vantrel {

enum class DemoClipKind {
  kAviMpeg4,     // MPEG-4 video and MPEG-1 Layer II sound in AVI: always repaired
  kMpeg1Stream,  // MPEG-1 program stream without navigation packs, at the size given
  kDvdStream,    // a DVD-compliant MPEG-2 program stream with navigation packs
};

struct DemoClipSpec {
  DemoClipKind kind = DemoClipKind::kDvdStream;
  int width = 720;
  int height = 576;
  bool ntscRate = false;  // 29.97 frames/s instead of 25
  double seconds = 5;
  int hue = 0;  // turns the colour bars, so the clips look different
};

// Writes the clip under a temporary name and renames it; false with the reason on failure.
// Long DVD clips repeat one closed group of pictures, so a clip of many minutes costs
// about as much as its first second.
bool MakeDemoClip(const std::string& path, const DemoClipSpec& spec, std::string& error);

}  // namespace vantrel
