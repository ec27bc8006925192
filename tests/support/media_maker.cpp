// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media_maker.h"

#include <filesystem>
#include <memory>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "project/title_list.h"

namespace vantrel::test {

bool Ffmpeg(const std::string& arguments) {
  return ShellCommand("ffmpeg -nostdin -loglevel error -y " + arguments);
}

bool MakeDvdClip(const std::string& path, double seconds, bool ntsc, const std::string& source) {
  const std::string size = ntsc ? "720x480" : "720x576";
  const std::string rate = ntsc ? "30000/1001" : "25";
  const char* joiner = source.find('=') == std::string::npos ? "=" : ":";
  return Ffmpeg("-f lavfi -i " + source + joiner + "size=" + size + ":rate=" + rate +
                " -f lavfi -i sine=frequency=440:sample_rate=48000 -t " + std::to_string(seconds) +
                " -target " + (ntsc ? "ntsc-dvd " : "pal-dvd ") + "-aspect 4:3 " + ShellQuote(path));
}

bool MakeBlackClip(const std::string& path, bool ntsc) {
  return MakeDvdClip(path, 1, ntsc, "color=c=black");
}

void PrepareAppFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  MakeFolder(folder);
  const std::string built = VANTREL_APP_BUILD_DIR;
  fs::copy_file(std::string(VANTREL_SOURCE_DIR) + "/data/layout.ini", JoinPath(folder, "layout.ini"),
                fs::copy_options::overwrite_existing);
  for (const char* name : {"bn.mpg", "bp.mpg", "silence.mp2"}) {
    const std::string target = JoinPath(folder, name);
    if (FileExists(JoinPath(built, name))) {
      fs::copy_file(JoinPath(built, name), target, fs::copy_options::overwrite_existing);
    } else if (std::string(name) == "silence.mp2") {
      Ffmpeg("-f lavfi -i anullsrc=r=48000:cl=stereo -t 5 -c:a mp2 -b:a 128k " + ShellQuote(target));
    } else {
      MakeBlackClip(target, std::string(name) == "bn.mpg");
    }
  }
}

void AddTitleFile(TitleList& titles, const std::string& path) {
  auto record = std::make_unique<TitleRecord>();
  record->SourcePath = path;
  record->DisplayTitle = StemOf(path);
  titles.AppendTitle(std::move(record), titles.Count());
}

}  // namespace vantrel::test
