// SPDX-License-Identifier: GPL-3.0-or-later
// What the component learns of a file before converting it, and its probe of the media stack.
#pragma once

#include <string>

#include "platform/com/types.h"

namespace vantrel::encorva {

using com::HRESULT;
using com::LONG;

// Every output is optional (null: not asked). The asked frame rate, duration, flags and size
// start at 0; the bit rate and the poster path are written only when found. The duration is
// the longer of the video and audio lengths; the bit rate is the file size over it. The
// poster, asked for only when the file has pictures, is a 163 x 112 bitmap in the temporary
// folder ("erdposter-PID-XXXXXX.bmp", one per process), taken at 0 s for asf/wmv files and at
// 1 s otherwise.
HRESULT InspectFile(const std::string& filename, double* framerate, double* duration, LONG* video,
                    LONG* audio, LONG* width, LONG* height, LONG* bitrate, std::string* posterPath);

// The user's temporary folder: TMPDIR, else /tmp.
std::string TemporaryFolder();
// This process's poster file in it, made on first use; posters of ended processes of the
// same user are removed then.
std::string PosterFramePath();

// There is no DirectX here. The probe answers 81 (the highest generation clients know)
// when the media layer can build a graph and inspect files, else 0.
LONG MediaStackVersion();

}  // namespace vantrel::encorva
