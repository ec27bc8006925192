// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author devices: every recorder with the medium it holds.
#include <cstdio>
#include <string>

#include "authoring/disc_fit_plan.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "burn/disc_library.h"
#include "burn/medium_view.h"
#include "cli/commands.h"
#include "cli/recorders.h"
#include "cli/terminal_front_end.h"
#include "jobs/recorder_session.h"

namespace vantrel::cli {
namespace {

constexpr const char* kUsage =
    "usage: vantrel-author devices [--work DIR]\n"
    "  lists the recorders (image-file recorders included) with medium type, state and capacity\n";

}  // namespace

int RunDevices(int argc, char** argv) {
  std::string work;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--work" && i + 1 < argc) {
      work = argv[++i];
    } else {
      std::fputs(kUsage, arg == "--help" || arg == "-h" ? stdout : stderr);
      return arg == "--help" || arg == "-h" ? 0 : 2;
    }
  }
  TerminalFrontEnd ui(Answer::No);
  RecorderSession session(ui, CommandSettings(work), false);
  if (session.Devices().empty()) {
    ui.ShowMessage(Tr("找不到 DVD 刻录机。"));
    return 1;
  }
  for (const std::string& name : session.Devices()) {
    MediumView medium = ReadMedium(name[0]);
    std::string facts;
    constexpr double kDvdBytes = double(kDvd5Sectors * kDiscSectorBytes);
    if (medium.result == 0 && medium.kind == MediumKind::Dvd && medium.capacityBytes > 0 &&
        medium.capacityBytes < kDvdBytes) {
      // The disc's size is not what fits: an image file on a small file system, say.
      facts = Format("%s, %s, %.2f MB free of %s (%.0f bytes)", medium.typeText.c_str(),
                     medium.blank ? "blank" : "written", medium.capacityBytes / 1048576.0,
                     medium.sizeText.c_str(), medium.capacityBytes);
    } else if (medium.result == 0) {
      facts = Format("%s, %s, %s(%.0f bytes)", medium.typeText.c_str(),
                     medium.blank ? "blank" : "written", medium.sizeText.c_str(),
                     medium.capacityBytes);
      if (medium.sizeText.back() != ' ') facts.insert(facts.find('('), " ");
    } else if (medium.result == FB_ERR_NO_MEDIUM) {
      facts = medium.typeText;
    } else {
      facts = Tr("错误: ") + LibraryText(medium.result);
    }
    std::printf("%s\n    %s\n", name.c_str(), facts.c_str());
  }
  return 0;
}

}  // namespace vantrel::cli
