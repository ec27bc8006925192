// SPDX-License-Identifier: GPL-3.0-or-later
// What the properties sheet tells of a title's file beyond its picture size and rate: the
// container, the picture's coding and shape, each sound stream, the size on disk. Every
// text is in the user's language.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct TitleFileFacts {
  std::string container;           // "avi", "mpeg", ...
  std::string video;               // "MPEG-4 part 2, 16:9"
  std::vector<std::string> sound;  // one line per sound stream, in file order; empty: silent
  std::string size;                // "12.3 MB"
};

// "" facts (and a sound line saying so) when the file cannot be opened.
TitleFileFacts ReadTitleFileFacts(const std::string& path);

// The shape of a picture as people say it: "4:3", "16:9", else "2.35:1".
std::string AspectText(double displayAspect);

}  // namespace vantrel
