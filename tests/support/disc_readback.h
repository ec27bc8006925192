// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an authored disc back with independent tools: lsdvd's titles (chapters, sound
// and subtitle streams), and the pictures mplayer writes while it plays the disc.
#pragma once

#include <string>
#include <vector>

namespace vantrel::test {

struct LsdvdSound {
  std::string language;  // "en", "zh"; "xx" or "" when none is declared
  std::string format;    // "ac3", "mpeg1", "lpcm", ...
};

struct LsdvdTitle {
  int titleSet = 0;
  std::vector<double> chapterStarts;  // seconds: the sums of the chapter lengths before each
  std::vector<LsdvdSound> sound;
  std::vector<std::string> subtitleLanguages;
};

// lsdvd -v -a -c -s of the folder holding VIDEO_TS; fails the test when lsdvd does.
std::vector<LsdvdTitle> ReadWithLsdvd(const std::string& folder);

// A binary PPM as mplayer writes it.
struct Frame {
  int width = 0, height = 0;  // 0 when the file is not a whole PPM
  std::string rgb;
  int Luma(int x, int y) const;
};
Frame ReadPpm(const std::string& path);

// Plays title `title` of the disc with subtitle stream `sid` shown and writes its first
// `frames` pictures as PPM files (00000001.ppm, ...) into `outdir`; false when mplayer fails.
bool PlayDiscPictures(const std::string& disc, int title, int sid, int frames, const std::string& outdir);

}  // namespace vantrel::test
