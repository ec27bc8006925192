// SPDX-License-Identifier: GPL-3.0-or-later
// The main program's repair of one title into a DVD MPEG-2 program stream, as the
// authoring run calls it for every title that is not DVD-compliant.
#pragma once

#include <functional>
#include <string>

#include "convert/encoder_preset.h"

namespace vantrel {

// Receives the conversion's progress, 0 to 100, about once a second; the run status
// display puts it on its progress bar.
using ConvertProgress = std::function<void(int percent)>;

// What a title must become on its disc: the shape of its frame and the format of its
// sound, which it shares with the disc's one title set, and the video rate the disc's plan
// gives it. The default leaves all three as the repair chooses them.
struct DiscTarget {
  int displayShape = 0;  // 0 as the source, 2 4:3, 3 16:9 (letterboxed or pillarboxed)
  AudioCodec sound = AudioCodec::Ac3;  // sound that is encoded (encoder setting 44)
  // On: the sound is always `sound` at 48 kHz; a DVD-legal source keeps its pictures and
  // only its sound is encoded.
  bool uniformSound = false;
  // Above 0: the average video rate (bits/s) asked of the encoder instead of the format's
  // own; the peak stays the format's. A DVD-legal source whose video takes more than this
  // is encoded rather than copied.
  int videoBitRate = 0;
  bool operator==(const DiscTarget&) const = default;
};

// The output name the conversion uses: an ".avi" ending (any case) becomes ".mpg", since
// the result is an MPEG program stream; every other name is kept.
std::string DvdMpegOutputName(const std::string& output);

// Converts `source` into a DVD MPEG-2 program stream at `output`, which may be rewritten
// (see DvdMpegOutputName). `standard` NTSC or else PAL. Blocks; the calling thread's
// messages are dispatched between one-second waits. True only when the output is complete;
// on failure "转换失败" goes to the log as an error, `errorText` (if given) gets the reason and
// no output file is left.
bool ConvertToDvdMpeg(const std::string& source, std::string& output, TvStandard standard,
                      const ConvertProgress& progress = {}, std::string* errorText = nullptr);
// The same, made for its disc as `target` says.
bool ConvertToDvdMpeg(const std::string& source, std::string& output, TvStandard standard, const DiscTarget& target,
                      const ConvertProgress& progress = {}, std::string* errorText = nullptr);

}  // namespace vantrel
