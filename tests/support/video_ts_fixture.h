// SPDX-License-Identifier: GPL-3.0-or-later
// A real DVD-Video VIDEO_TS folder for the disc-writing tests: a two-second PAL clip made
// with ffmpeg and authored with dvdauthor, built once per build folder and then reused.
#pragma once

#include <string>

namespace vantrel::test {

// The folder holding the six VIDEO_TS files (read-only for the tests: copy to change it).
// Fails the calling test when ffmpeg or dvdauthor is missing or fails.
std::string VideoTsFixture();

// Runs a command line through /bin/sh; its exit status, with standard output in `out`.
int RunCapture(const std::string& commandLine, std::string& out);

}  // namespace vantrel::test
