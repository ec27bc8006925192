// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/disc_readback.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel::test {

std::vector<LsdvdTitle> ReadWithLsdvd(const std::string& folder) {
  std::string out;
  EXPECT_EQ(RunCapture("lsdvd -v -a -c -s " + ShellQuote(folder) + " 2>/dev/null", out), 0) << out;
  std::vector<LsdvdTitle> titles;
  const std::regex vts(R"(^\s+VTS: (\d+),)");
  const std::regex chapter(R"(Chapter: \d+, Length: (\d+):(\d+):(\d+)\.(\d+))");
  const std::regex sound(R"(Audio: \d+, Language: (\S*) - .*Format: (\w+))");
  const std::regex subtitle(R"(Subtitle: \d+, Language: (\w*))");
  double start = 0;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (line.rfind("Title: ", 0) == 0) {
      titles.emplace_back();
      start = 0;
    } else if (titles.empty()) {
      continue;
    } else if (std::regex_search(line, m, vts)) {
      titles.back().titleSet = std::stoi(m[1]);
    } else if (std::regex_search(line, m, chapter)) {
      titles.back().chapterStarts.push_back(start);
      start += std::stoi(m[1]) * 3600 + std::stoi(m[2]) * 60 + std::stoi(m[3]) + std::stod("0." + m[4].str());
    } else if (std::regex_search(line, m, sound)) {
      titles.back().sound.push_back({m[1], m[2]});
    } else if (std::regex_search(line, m, subtitle)) {
      titles.back().subtitleLanguages.push_back(m[1]);
    }
  }
  return titles;
}

int Frame::Luma(int x, int y) const {
  const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (size_t(y) * size_t(width) + size_t(x)) * 3;
  return (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
}

Frame ReadPpm(const std::string& path) {
  Frame frame;
  std::istringstream in(ReadText(path));
  std::string magic;
  int maxValue = 0;
  in >> magic >> frame.width >> frame.height >> maxValue;
  in.get();
  frame.rgb.assign(std::istreambuf_iterator<char>(in), {});
  if (magic != "P6" || frame.rgb.size() < size_t(frame.width) * size_t(frame.height) * 3) frame.width = 0;
  return frame;
}

bool PlayDiscPictures(const std::string& disc, int title, int sid, int frames, const std::string& outdir) {
  if (!MakeFolder(outdir)) return false;
  const std::string log = outdir + "/mplayer.log";
  const bool played = ShellCommand("mplayer -really-quiet -benchmark -nosound -nolirc -noconfig all "
                                   "-vf expand=0:0:0:0:1 -vo pnm:ppm:outdir=" + ShellQuote(outdir) +
                                       " -sid " + std::to_string(sid) + " -dvd-device " + ShellQuote(disc) +
                                       " dvd://" + std::to_string(title) + " -frames " + std::to_string(frames),
                                   {outdir, {}, log});
  EXPECT_TRUE(played) << ReadText(log);
  return played;
}

}  // namespace vantrel::test
