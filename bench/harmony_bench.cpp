// SPDX-License-Identifier: GPL-3.0-or-later
// What bringing a DVD-ready title in line with its disc costs, against encoding the same
// title: a plain remux of it, the title's sound converted to AC-3 with its pictures copied, then the same title
// encoded into the other frame shape (a full encode), then ffmpeg's DVD encode of it as the
// reference; all in one run, each the fastest of REPEAT.
// Usage: harmony_bench [SECONDS [REPEAT]] (needs ffmpeg).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <unistd.h>

#include "convert/convert_to_dvd_mpeg.h"

namespace {

double Fastest(int repeat, const std::function<bool()>& run) {
  double best = 1e9;
  for (int i = 0; i < repeat; ++i) {
    auto start = std::chrono::steady_clock::now();
    if (!run()) return -1;
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vantrel;
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const int repeat = argc > 2 ? std::atoi(argv[2]) : 3;
  namespace fs = std::filesystem;
  const fs::path work = fs::temp_directory_path() / ("vantrel-harmony-bench-" + std::to_string(getpid()));
  fs::create_directories(work);
  // The conversion registers the encoder module beside the program in a registry of its own.
  setenv("VANTREL_REGISTRY_DIR", (work / "registry").c_str(), 1);
  setenv("VANTREL_APPDIR", VANTREL_APP_BUILD_DIR, 1);
  const std::string title = (work / "title.mpg").string();
  const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=720x576:r=25:d=" +
                           std::to_string(seconds) + " -f lavfi -i sine=f=440:r=48000:d=" + std::to_string(seconds) +
                           " -target pal-dvd -aspect 4:3 -c:a mp2 -b:a 224k '" + title + "'";
  if (std::system(make.c_str()) != 0) return std::fprintf(stderr, "ffmpeg could not make the title\n"), 1;

  auto convert = [&](const DiscTarget& target, const char* name) {
    std::string output = (work / name).string(), error;
    bool ok = ConvertToDvdMpeg(title, output, TvStandard::Pal, target, {}, &error);
    if (!ok) std::fprintf(stderr, "%s failed: %s\n", name, error.c_str());
    return ok;
  };
  const double remux = Fastest(repeat, [&] { return convert({}, "remuxed.mpg"); });
  const double sound = Fastest(repeat, [&] { return convert({0, AudioCodec::Ac3, true}, "sound.mpg"); });
  const double encode = Fastest(repeat, [&] { return convert({3, AudioCodec::Ac3, true}, "encoded.mpg"); });
  const std::string reference = "ffmpeg -nostdin -v error -y -i '" + title + "' -target pal-dvd -c:a ac3 '" +
                                (work / "reference.mpg").string() + "'";
  const double ffmpeg = Fastest(repeat, [&] { return std::system(reference.c_str()) == 0; });
  fs::remove_all(work);
  if (remux < 0 || sound < 0 || encode < 0 || ffmpeg < 0) return 1;

  std::printf("title: %d s PAL DVD-ready MPEG-2 with MPEG-1 Layer II sound; fastest of %d runs\n", seconds, repeat);
  std::printf("%-46s %8.2f s\n", "remux, everything copied (ours)", remux);
  std::printf("%-46s %8.2f s\n", "sound to AC-3, pictures copied (ours)", sound);
  std::printf("%-46s %8.2f s\n", "full encode into 16:9 (ours)", encode);
  std::printf("%-46s %8.2f s\n", "full encode, ffmpeg -target pal-dvd", ffmpeg);
  std::printf("sound in line / our full encode = %.3f (goal: below 0.1)\n", sound / encode);
  std::printf("sound in line / ffmpeg's encode = %.3f\n", sound / ffmpeg);
  std::printf("sound in line / remux = %.2f\n", sound / remux);
  return 0;
}
