// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/clips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "authoring/command_templates.h"

namespace vantrel::test {

void RunFfmpeg(const std::string& arguments) {
  std::string line = "ffmpeg -nostdin -y -loglevel error " + arguments;
  int status = std::system(line.c_str());
  if (status != 0) throw std::runtime_error("ffmpeg failed or is missing: " + line);
}

void MakeColourClip(const std::string& path, const std::string& codecArguments,
                    const std::string& size, const std::string& rate) {
  std::string colour = ":s=" + size + ":r=" + rate + ":d=1";
  RunFfmpeg("-f lavfi -i color=c=red" + colour + " -f lavfi -i color=c=lime" + colour +
            " -f lavfi -i color=c=blue" + colour +
            " -f lavfi -i sine=frequency=440:sample_rate=44100:duration=3"
            " -filter_complex '[0:v][1:v][2:v]concat=n=3:v=1:a=0,format=yuv420p[v]'"
            " -map '[v]' -map 3:a " + codecArguments + " " + ShellQuote(path));
}

void MakePatternClip(const std::string& path, const std::string& codecArguments,
                     const std::string& size, const std::string& rate, double seconds) {
  std::string d = std::to_string(seconds);
  RunFfmpeg("-f lavfi -i testsrc=s=" + size + ":r=" + rate + ":d=" + d +
            " -f lavfi -i sine=frequency=440:sample_rate=48000:duration=" + d +
            " -pix_fmt yuv420p " + codecArguments + " " + ShellQuote(path));
}

void MakeAudioOnlyClip(const std::string& path) {
  RunFfmpeg("-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 -c:a libmp3lame " +
            ShellQuote(path));
}

}  // namespace vantrel::test
