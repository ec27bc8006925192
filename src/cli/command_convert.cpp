// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author convert: repairs one video file into a DVD MPEG-2 program stream, the
// same conversion the authoring run applies to titles that are not DVD-compliant.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/recorders.h"
#include "cli/terminal_front_end.h"
#include "authoring/run_status.h"
#include "jobs/conversion_job.h"
#include "project/app_settings.h"

namespace {

constexpr const char* kUsage =
    "usage: vantrel-author convert SOURCE OUTPUT [--pal|--ntsc] [--yes|--no]\n"
    "  --pal, --ntsc   video standard (default: the resolution setting)\n"
    "  --yes, --no     the answer when OUTPUT.mpg is there already (default: ask)\n"
    "An OUTPUT ending in .avi is written as .mpg; the path written is printed at the end.\n";

// The conversion's progress as a bar on a terminal; nothing otherwise.
class ProgressBar : public vantrel::RunStatus, public vantrel::RunQuestion {
 public:
  explicit ProgressBar(vantrel::cli::Answer answer) : terminal_(isatty(STDOUT_FILENO) == 1), answer_(answer) {}
  void SetProgress(int percent) override {
    if (!terminal_) return;
    constexpr int kWidth = 40;
    int filled = percent * kWidth / 100;
    std::printf("\r[%.*s%*s] %3d%%", filled, "########################################", kWidth - filled, "",
                percent);
    std::fflush(stdout);
    drawn_ = true;
  }
  // Asked on the terminal unless --yes or --no answered it; No without a terminal.
  bool AskYesNo(const std::string& text) override {
    EndLine();
    drawn_ = false;
    std::fprintf(stderr, "%s [y/n] ", text.c_str());
    if (answer_ != vantrel::cli::Answer::Ask || !isatty(STDIN_FILENO)) {
      const bool yes = answer_ == vantrel::cli::Answer::Yes;
      std::fprintf(stderr, "%s\n", yes ? "y (--yes)" : answer_ == vantrel::cli::Answer::No ? "n (--no)" : "n (no terminal; pass --yes to answer yes)");
      return yes;
    }
    std::string reply;
    if (!std::getline(std::cin, reply)) return false;
    return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
  }
  void EndLine() {
    if (drawn_) std::fputc('\n', stdout);
  }

 private:
  bool terminal_;
  vantrel::cli::Answer answer_;
  bool drawn_ = false;
};

}  // namespace

namespace vantrel::cli {

int RunConvert(int argc, char** argv) {
  AppSettings& settings = Settings();
  settings.Load();
  std::string paths[2];
  int count = 0;
  Answer answer = Answer::Ask;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--pal") {
      settings.resolution = 0;
    } else if (arg == "--ntsc") {
      settings.resolution = 1;
    } else if (ParseAnswer(arg, answer)) {
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg.rfind("--", 0) == 0 || count == 2) {
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      paths[count++] = arg;
    }
  }
  if (count != 2 || paths[0].empty() || paths[1].empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  ProgressBar bar(answer);
  ConversionJob job({paths[0], paths[1], settings.Standard()}, bar, bar);
  InterruptWatch interrupt;
  job.Start();
  while (!job.Wait(100))
    if (interrupt.Interrupted()) job.Cancel();
  const JobResult result = job.Result();
  bar.EndLine();
  if (result.cancelled || interrupt.Interrupted()) return ExitStatusOf(result, interrupt.Signal());
  if (!result.succeeded) {
    std::fprintf(stderr, "vantrel-author: %s\n", result.reason.c_str());
    return 1;
  }
  const std::string& output = job.OutputPath();
  std::printf("wrote %s\n", output.c_str());
  return 0;
}

}  // namespace vantrel::cli
