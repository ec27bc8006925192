// SPDX-License-Identifier: GPL-3.0-or-later
// Test clips made at test time with ffmpeg, so every test starts from media an
// independent tool wrote. A missing ffmpeg fails the test.
#pragma once

#include <string>

namespace vantrel::test {

// Runs ffmpeg with the given arguments after "-y -loglevel error"; aborts the test run
// with a clear message when ffmpeg is missing or fails.
void RunFfmpeg(const std::string& arguments);

// Three seconds at 25 frames/s: red, then green, then blue, one second each, with a tone.
// `codecArguments` picks the container's codecs, e.g. "-c:v mpeg2video -c:a mp2 -f mpeg".
void MakeColourClip(const std::string& path, const std::string& codecArguments,
                    const std::string& size = "320x240", const std::string& rate = "25");
// A plain test pattern with sound.
void MakePatternClip(const std::string& path, const std::string& codecArguments,
                     const std::string& size, const std::string& rate, double seconds);
void MakeAudioOnlyClip(const std::string& path);

}  // namespace vantrel::test
