// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author erase: erases the rewritable medium of a recorder.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/recorders.h"
#include "cli/terminal_front_end.h"
#include "jobs/erase_job.h"

namespace vantrel::cli {
namespace {

constexpr const char* kUsage =
    "usage: vantrel-author erase [--device LETTER] [--full] [--work DIR] [--yes|--no]\n"
    "  --device LETTER the recorder (default: the first)\n"
    "  --full          erase every sector instead of a quick erase\n"
    "  --work DIR      work folder (default: the temppath setting)\n"
    "  --yes, --no     the answer to every question (default: ask on the terminal)\n";

}  // namespace

int RunErase(int argc, char** argv) {
  DiscOptions options;
  bool full = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--full") {
      full = true;
    } else if (!ParseDiscOption(argc, argv, i, options)) {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  TerminalFrontEnd ui(options.answer);
  TerminalJobObserver observer(ui);
  EraseJob job({options.device, !full, CommandSettings(options.work)}, observer);
  const JobResult result = job.Run();
  ui.Finish();
  if (result.succeeded && !job.Note().empty()) std::printf("%s\n", job.Note().c_str());
  return ExitStatusOf(result, 0);
}

}  // namespace vantrel::cli
