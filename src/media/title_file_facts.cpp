// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/title_file_facts.h"

#include <sys/stat.h>

#include <cmath>

#include "base/text_format.h"
#include "base/translation.h"
#include "platform/media/ffmpeg_file.h"

namespace vantrel {

std::string AspectText(double displayAspect) {
  if (displayAspect <= 0) return "";
  if (std::fabs(displayAspect - 4.0 / 3.0) < 0.02) return "4:3";
  if (std::fabs(displayAspect - 16.0 / 9.0) < 0.02) return "16:9";
  return Format("%.2f:1", displayAspect);
}

TitleFileFacts ReadTitleFileFacts(const std::string& path) {
  TitleFileFacts facts;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) facts.size = Format("%.1f MB", double(info.st_size) / (1024.0 * 1024.0));
  media::MediaFile file;
  if (com::FAILED(file.Open(path))) {
    facts.sound.push_back(Tr("无法读取"));
    return facts;
  }
  facts.container = file.FormatName();
  for (const media::StreamFacts& stream : file.Streams()) {
    if (stream.kind == media::StreamFacts::Kind::Video) {
      if (!facts.video.empty()) continue;
      const std::string aspect = AspectText(stream.displayAspect);
      facts.video = aspect.empty() ? stream.codec : stream.codec + ", " + aspect;
      continue;
    }
    std::string line = Format(Tr("%s, %d Hz, %d 声道"), stream.codec.c_str(), stream.sampleRate, stream.channels);
    if (!stream.language.empty() && stream.language != "und")
      line += Format(Tr(", 语言 %s"), stream.language.c_str());
    facts.sound.push_back(line);
  }
  return facts;
}

}  // namespace vantrel
