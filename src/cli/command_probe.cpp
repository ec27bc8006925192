// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author probe FILE...: what the title list would show for each file, and whether
// the media detector finds a video stream in it.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/duration_text.h"
#include "base/readable_file.h"
#include "cli/commands.h"
#include "media/media_probe.h"
#include "platform/com/runtime.h"
#include "platform/window/window.h"

namespace vantrel::cli {

int RunProbe(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::fputs("usage: vantrel-author probe FILE...\n", argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  com::CoInitialize();
  window::InstallMessagePump();
  CVideoEdit control;
  control.Create();
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    // A pipe or a device would block the probe or never end: refused before it is opened.
    if (const std::string why = UnreadableFileReason(argv[i]); !why.empty()) {
      std::printf("%s\n  video stream  unknown: %s\n", argv[i], why.c_str());
      std::fprintf(stderr, "vantrel-author: cannot read %s: %s\n", argv[i], why.c_str());
      status = 1;
      continue;
    }
    TitleRecord record;
    record.SourcePath = argv[i];
    ProbeTitleFacts(control, record);
    int video = HasVideoStream(record.SourcePath);
    std::printf("%s\n", record.SourcePath.c_str());
    std::printf("  duration      %s (%.3f s)\n", DurationText(record.Duration).c_str(), record.Duration);
    std::printf("  frame rate    %s\n", record.FrameRateText.c_str());
    std::printf("  resolution    %s\n", record.ResolutionText.c_str());
    if (video < 0) {
      // The system's reason when the file cannot be opened at all, else what it is not.
      const int fd = open(argv[i], O_RDONLY | O_CLOEXEC);
      const std::string why = fd < 0 ? std::strerror(errno) : "not a video file that can be read";
      if (fd >= 0) close(fd);
      std::printf("  video stream  unknown: %s\n", why.c_str());
      std::fprintf(stderr, "vantrel-author: cannot read %s: %s (0x%08X)\n", argv[i], why.c_str(), unsigned(video));
      status = 1;
      continue;
    }
    std::printf("  video stream  %d\n", video);
    if (video < 0) {
    } else if (video == 0) {
      std::fprintf(stderr, "vantrel-author: %s has no video stream\n", argv[i]);
      status = 1;
    }
  }
  com::CoUninitialize();
  return status;
}

}  // namespace vantrel::cli
