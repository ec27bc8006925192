// The main program's repair of one title into a DVD MPEG-2 program stream, as the
// authoring run calls it for every title that is not DVD-compliant.
#pragma once

#include <functional>
#include <string>

namespace vantrel {

// Receives the conversion's progress, 0 to 100, about once a second; the run status
// display puts it on its progress bar.
using ConvertProgress = std::function<void(int percent)>;

// The output name the conversion uses: an ".avi" ending (any case) becomes ".mpg", since
// the result is an MPEG program stream; every other name is kept.
std::string DvdMpegOutputName(const std::string& output);

// Converts `source` into a DVD MPEG-2 program stream at `output`, which may be rewritten
// (see DvdMpegOutputName). `ntsc` non-zero: NTSC, zero: PAL. Blocks; the calling thread's
// messages are dispatched between one-second waits. True only when the output is complete;
// on failure "转换失败" goes to standard output, `errorText` (if given) gets the reason and
// no output file is left. `videoBitRate` (bits/s), when above 0, is the average video rate
// asked of the encoder instead of the format's own; the peak stays the format's.
bool ConvertToDvdMpeg(const std::string& source, std::string& output, int ntsc,
                      const ConvertProgress& progress = {}, std::string* errorText = nullptr,
                      int videoBitRate = 0);

}  // namespace vantrel
