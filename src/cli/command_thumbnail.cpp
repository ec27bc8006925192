// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author thumbnail FILE --time SECONDS --out FILE.bmp: the three-way frame grab
// into an 80 x 60, 24-bit bitmap.
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/paths.h"
#include "base/readable_file.h"
#include "cli/commands.h"
#include "media/frame_grabber.h"
#include "platform/com/runtime.h"
#include "platform/window/window.h"

namespace vantrel::cli {
namespace {

constexpr const char* kUsage = "usage: vantrel-author thumbnail FILE [--time SECONDS] --out FILE.bmp\n";

bool ParseSeconds(const char* text, double& seconds) {
  char* end = nullptr;
  seconds = std::strtod(text, &end);
  return end && *end == 0 && end != text && std::isfinite(seconds) && seconds >= 0;
}

}  // namespace

int RunThumbnail(int argc, char** argv) {
  std::string source, out;
  double seconds = 0.5;  // a title's default thumbnail time
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--time" && i + 1 < argc) {
      if (!ParseSeconds(argv[++i], seconds)) {
        std::fprintf(stderr, "vantrel-author: --time needs seconds, not %s\n", argv[i]);
        return 2;
      }
    } else if (arg == "--out" && i + 1 < argc) {
      out = argv[++i];
    } else if (arg.rfind("--", 0) == 0 || !source.empty()) {
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      source = arg;
    }
  }
  if (source.empty() || out.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (const std::string why = UnreadableFileReason(source); !why.empty()) {
    std::fprintf(stderr, "vantrel-author: cannot read %s: %s\n", source.c_str(), why.c_str());
    return 1;
  }
  // The grab reports no reason for a file it could not write: find it out first.
  const std::string folder = FolderOf(out).empty() ? "." : FolderOf(out);
  if (access(folder.c_str(), W_OK) != 0) {
    std::fprintf(stderr, "vantrel-author: cannot write %s: %s\n", out.c_str(), std::strerror(errno));
    return 1;
  }
  com::CoInitialize();
  window::InstallMessagePump();
  unsigned char result;
  {
    ThumbnailHost host;
    ThumbnailGrabJob job{source, out, seconds, &host};
    result = RunThumbnailGrab(job);
  }
  com::CoUninitialize();
  if (!result) {
    std::fprintf(stderr, "vantrel-author: no frame of %s could be grabbed\n", source.c_str());
    return 1;
  }
  if (FileSize(out) == 0) {
    std::fprintf(stderr, "vantrel-author: no bitmap was written to %s\n", out.c_str());
    return 1;
  }
  std::printf("%s\n", out.c_str());
  return 0;
}

}  // namespace vantrel::cli
