// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author: the command-line front end over the same core as the GUI.
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/app_folder.h"
#include "base/ffmpeg_log.h"
#include "base/log.h"
#include "base/memory_arenas.h"
#include "base/translation.h"
#include "cli/commands.h"
#include "vantrel_version.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

// Warnings and errors of the core on standard error; with -v its notes as well.
void InstallLogSink(bool verbose) {
  const vantrel::LogLevel least = verbose ? vantrel::LogLevel::kDebug : vantrel::LogLevel::kWarning;
  vantrel::SetLogSink([least](vantrel::LogLevel level, const std::string& text) {
    static std::mutex mutex;
    if (level < least) return;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "%s\n", text.c_str());
  });
  // FFmpeg's own messages: errors only, unless asked for more.
  vantrel::RouteFfmpegLog();
  if (verbose) av_log_set_level(AV_LOG_VERBOSE);
}

}  // namespace

int main(int argc, char** argv) {
  using vantrel::cli::kCommands;
  vantrel::SetUpMemoryAllocator();
  // -v / --verbose may stand anywhere; the commands never see it.
  std::vector<char*> args;
  bool verbose = false;
  for (int i = 0; i < argc; ++i) {
    if (i > 0 && (std::strcmp(argv[i], "-v") == 0 || std::strcmp(argv[i], "--verbose") == 0))
      verbose = true;
    else
      args.push_back(argv[i]);
  }
  InstallLogSink(verbose);
  // The run's texts in the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
  vantrel::UseLanguageOfUser(vantrel::ApplicationFolder());
  const int count = int(args.size());
  args.push_back(nullptr);
  if (count >= 2) {
    for (const auto& command : kCommands)
      if (std::strcmp(args[1], command.name) == 0) return command.run(count - 1, args.data() + 1);
  }
  if (count == 2 && std::strcmp(args[1], "--version") == 0) {
    std::printf("vantrel-author %s\n", VANTREL_VERSION);
    return 0;
  }
  // Asked for, the usage is the answer; otherwise it explains a mistake.
  const bool asked = count == 2 && (std::strcmp(args[1], "--help") == 0 || std::strcmp(args[1], "-h") == 0 ||
                                    std::strcmp(args[1], "help") == 0);
  FILE* to = asked ? stdout : stderr;
  if (!asked && count >= 2) std::fprintf(stderr, "vantrel-author: unknown command %s\n", args[1]);
  std::fputs("usage: vantrel-author [-v] COMMAND [options]\n"
             "       vantrel-author --version | --help\n", to);
  for (const auto& command : kCommands)
    std::fprintf(to, "  %-10s %s\n", command.name, command.summary);
  std::fputs("'vantrel-author COMMAND --help' shows a command's options.\n", to);
  return asked ? 0 : 2;
}
