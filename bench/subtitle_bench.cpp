// SPDX-License-Identifier: GPL-3.0-or-later
// The subtitles of one title, timed: reading the file, drawing every cue, and putting the
// pictures into the title (one pass over it). bench/subtitle_bench.sh sets it beside the title's
// encode. Usage: subtitle_bench SUBTITLES TITLE.mpg WORK_FOLDER
#include <chrono>
#include <cstdio>
#include <string>

#include "base/log.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_muxer.h"
#include "subtitles/subtitle_reader.h"

using namespace vantrel;

namespace {
double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: subtitle_bench SUBTITLES TITLE.mpg WORK_FOLDER\n");
    return 2;
  }
  const std::string work = argv[3];
  SetLogSink([](LogLevel level, const std::string& text) {
    if (level != LogLevel::kDebug) std::fprintf(stderr, "%s: %s\n", LogLevelName(level), text.c_str());
  });
  auto start = std::chrono::steady_clock::now();
  const TextSubtitles track = ReadSubtitleFile(argv[1]);
  if (!track.ok) {
    std::fprintf(stderr, "%s\n", track.error.c_str());
    return 1;
  }
  const double read = SecondsSince(start);

  start = std::chrono::steady_clock::now();
  const SubtitleStyle style;
  SubpictureRenderer renderer(SubpictureGeometry::Of(TvStandard::Pal, false), style);
  std::string error;
  if (!renderer.Load(track, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::vector<Subpicture> pictures = renderer.RenderAll();
  FitStreamPalette(&pictures, style);
  const double render = SecondsSince(start);

  start = std::chrono::steady_clock::now();
  SubtitleMuxInputs mux;
  mux.title = argv[2];
  mux.output = work + "/title.sub.mpg";
  mux.palette = work + "/title.rgb";
  if (!MuxSubtitles(pictures, mux, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const double muxed = SecondsSince(start);
  std::printf("cues %zu pictures %zu read %.3f render %.3f mux %.3f\n", track.cues.size(), pictures.size(), read,
              render, muxed);
  return 0;
}
