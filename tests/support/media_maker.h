// SPDX-License-Identifier: GPL-3.0-or-later
// Test media made at test time with ffmpeg, an independent tool.
#pragma once

#include <string>

namespace vantrel {
class TitleList;
}

namespace vantrel::test {

// Runs ffmpeg with the arguments (already shell-quoted where needed); fails the test on error.
bool Ffmpeg(const std::string& arguments);
// A DVD-compliant MPEG-2 program stream with navigation packs and MP2 audio.
bool MakeDvdClip(const std::string& path, double seconds, bool ntsc,
                 const std::string& source = "testsrc2");
// A black DVD clip with silent audio (what bn.mpg / bp.mpg are).
bool MakeBlackClip(const std::string& path, bool ntsc);
// An application folder for a run: layout.ini from the sources, bn.mpg, bp.mpg and
// silence.mp2 from the build when it made them, else generated here.
void PrepareAppFolder(const std::string& folder);
// Appends the file as the list's last title, named after its file as adding titles names it.
void AddTitleFile(TitleList& titles, const std::string& path);

}  // namespace vantrel::test
