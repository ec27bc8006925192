// vantrel-author erase: erases the rewritable medium of a recorder.
#include <cstdio>
#include <string>

#include "burn/disc_library.h"
#include "burn/erase_sequence.h"
#include "cli/commands.h"
#include "cli/recorders.h"
#include "platform/foxburner/foxburner_ext.h"

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
  std::string device, work;
  bool full = false;
  Answer answer = Answer::Ask;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--device" && i + 1 < argc) {
      device = argv[++i];
    } else if (arg == "--work" && i + 1 < argc) {
      work = argv[++i];
    } else if (arg == "--full") {
      full = true;
    } else if (!ParseAnswer(arg, answer)) {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  TerminalFrontEnd ui(answer);
  RecorderSession session(ui, work, false);
  char letter = session.Choose(device);
  if (!letter) return 1;
  if (!ReportResult(SetDevice(letter), ui, true)) return 1;
  DiscErase erase(ui);
  erase.RegisterCallbacks();
  EraseOutcome outcome = erase.Run(!full);
  char note[FB_TEXT_SIZE] = "";
  GetLastNote(note, sizeof note);
  if (outcome == EraseOutcome::Erased && *note) std::printf("%s\n", note);
  return outcome == EraseOutcome::Erased || outcome == EraseOutcome::Blank ? 0 : 1;
}

}  // namespace vantrel::cli
