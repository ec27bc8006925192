// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/run_timeline.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "base/log.h"
#include "base/text_format.h"

namespace vantrel {
namespace {

// The process's resident memory in KiB, 0 when it cannot be read.
long ResidentKib() {
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

void TimelineMark(const std::string& what) {
  static const auto origin = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - origin).count();
  LogDebug(Format("timeline %.3f %s (resident %ld KiB)", seconds, what.c_str(), ResidentKib()));
}

}  // namespace vantrel
