// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/disc_image_size.h"

#include <cstdio>
#include <cstdlib>

#include "base/child_process.h"
#include "base/atomic_file.h"

namespace vantrel {

std::int64_t DiscImageSectors(const std::string& dvdFolder, const std::string& scratch, std::string& why) {
  ChildOptions options;
  options.stdoutPath = scratch;
  options.stderrPath = scratch + ".err";
  options.ownProcessGroup = true;
  int error = 0;
  const pid_t pid =
      SpawnChild({"genisoimage", "-f", "-quiet", "-print-size", "-dvd-video", "-udf", dvdFolder}, options, &error);
  if (pid < 0) {
    why = "genisoimage could not be started";
    return -1;
  }
  const ChildExit exit = WaitForChild(pid);
  std::string out, errors;
  ReadWholeFile(scratch, out);
  ReadWholeFile(scratch + ".err", errors);
  std::remove(scratch.c_str());
  std::remove((scratch + ".err").c_str());
  char* end = nullptr;
  const long long sectors = std::strtoll(out.c_str(), &end, 10);
  if (!exit.Succeeded() || end == out.c_str() || sectors <= 0) {
    why = errors.empty() ? "genisoimage measured nothing" : errors.substr(0, errors.find('\n'));
    return -1;
  }
  return sectors;
}

}  // namespace vantrel
