// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author burn: writes an existing VIDEO_TS folder to a recorder.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/recorders.h"
#include "cli/terminal_front_end.h"
#include "jobs/disc_write_job.h"

namespace vantrel::cli {
namespace {

constexpr const char* kUsage =
    "usage: vantrel-author burn FOLDER [--device LETTER] [--work DIR] [--yes|--no]\n"
    "  FOLDER          a VIDEO_TS folder, or a folder holding one\n"
    "  --device LETTER the recorder (see 'vantrel-author devices'; default: the first)\n"
    "  --work DIR      work folder (default: the temppath setting)\n"
    "  --yes, --no     the answer to every question (default: ask on the terminal)\n";

}  // namespace

int RunBurn(int argc, char** argv) {
  std::string folder;
  DiscOptions options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (ParseDiscOption(argc, argv, i, options)) {
    } else if (arg.rfind("--", 0) != 0 && folder.empty()) {
      folder = arg;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (folder.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  TerminalFrontEnd ui(options.answer);
  TerminalJobObserver observer(ui);
  DiscWriteJob job({folder, options.device, CommandSettings(options.work)}, observer);
  InterruptWatch interrupt;
  job.Start();
  bool cancelled = false;
  while (!job.Wait(100)) {
    if (interrupt.Interrupted() && !cancelled) {
      job.Cancel();
      cancelled = true;
    }
  }
  ui.Finish();
  const JobResult result = job.Result();
  if (result.succeeded) std::printf("written and read back: sha256 %s\n", job.Digest().c_str());
  return ExitStatusOf(result, interrupt.Signal());
}

}  // namespace vantrel::cli
