// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/recorders.h"

#include <cstdio>

namespace vantrel::cli {

bool ParseDiscOption(int argc, char** argv, int& i, DiscOptions& options) {
  const std::string arg = argv[i];
  if ((arg == "--device" || arg == "--work") && i + 1 < argc) {
    (arg == "--device" ? options.device : options.work) = argv[++i];
    return true;
  }
  return ParseAnswer(arg, options.answer);
}

AppSettings CommandSettings(const std::string& workFolder) {
  AppSettings settings = Settings();
  settings.Load();
  if (!workFolder.empty()) settings.temppath = workFolder;
  return settings;
}

int ExitStatusOf(const JobResult& result, int interruptSignal) {
  if (result.succeeded) return 0;
  if (result.cancelled || interruptSignal) {
    std::fprintf(stderr, "vantrel-author: cancelled\n");
    return 128 + (interruptSignal ? interruptSignal : 2);
  }
  if (!result.reason.empty()) std::fprintf(stderr, "vantrel-author: %s\n", result.reason.c_str());
  return 1;
}

}  // namespace vantrel::cli
