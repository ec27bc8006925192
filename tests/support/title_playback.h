// SPDX-License-Identifier: GPL-3.0-or-later
// How a player takes each title of an authored disc: libdvdread reads what the title set
// declares (picture shape, audio streams), and each title's own sectors, copied out
// through libdvdread, are read with libavformat for the streams and the picture shape
// they really carry.
#pragma once

#include <string>
#include <vector>

namespace vantrel::test {

struct PlayedTitle {
  int number = 0;            // 1-based title number of the disc
  int aspectCode = 0;        // MPEG aspect code of the title's first sequence header
  std::vector<int> audioIds; // stream ids as libavformat numbers them (0x80 AC-3, 0x1C0 MPEG ...)
  // The shape a viewer sees of the picture of the title's first frame (its part that is not
  // black bars), shown at the title set's aspect: a 4:3 source squeezed into a 16:9 set
  // shows as 1.78. For sources without black at their edges.
  double shownAspect = 0;
};

struct DiscPlayback {
  bool opened = false;
  int setAspectCode = 0;                  // the title set's picture shape: 2 4:3, 3 16:9
  std::vector<std::string> setAudio;      // declared audio streams in order: "ac3", "mpeg1", ...
  std::vector<PlayedTitle> titles;
};

// The luma plane of the first picture of a file's video, decoded with libavcodec.
struct LumaPicture {
  int width = 0, height = 0;
  double displayAspect = 0;  // as the stream flags it
  std::vector<unsigned char> pixels;
  int At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};
LumaPicture FirstPicture(const std::string& path);

// Reads title set 1 of the disc in `folder`; scratch files go to `scratch`.
DiscPlayback ReadDiscPlayback(const std::string& folder, const std::string& scratch);

// What a player would get wrong, one line per fault; empty when every title holds the
// title set's audio stream 1 and the title set's picture shape.
std::string PlaybackFaults(const DiscPlayback& disc);

}  // namespace vantrel::test
