// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author convert: repairs one video file into a DVD MPEG-2 program stream, the
// same conversion the authoring run applies to titles that are not DVD-compliant.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/recorders.h"
#include "cli/terminal_front_end.h"
#include "jobs/conversion_job.h"
#include "project/app_settings.h"

namespace {

constexpr const char* kUsage =
    "usage: vantrel-author convert SOURCE OUTPUT [--pal|--ntsc] [--yes|--no]\n"
    "  --pal, --ntsc   video standard (default: the resolution setting)\n"
    "  --yes, --no     the answer when OUTPUT.mpg is there already (default: ask)\n"
    "An OUTPUT ending in .avi is written as .mpg; the path written is printed at the end.\n";

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

  TerminalFrontEnd ui(answer);
  TerminalJobObserver observer(ui);
  ConversionJob job({paths[0], paths[1], settings.Standard()}, observer);
  InterruptWatch interrupt;
  job.Start();
  while (!job.Wait(100))
    if (interrupt.Interrupted()) job.Cancel();
  const JobResult result = job.Result();
  ui.Finish();
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
