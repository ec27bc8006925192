// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/title_frame.h"

#include "authoring/dvd_compliance.h"
#include "authoring/run_status.h"
#include "authoring/title_harmony.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "convert/dvd_title_facts.h"
#include "convert/title_facts.h"
#include "project/app_settings.h"

namespace vantrel {
namespace {

// Planning asks nobody: a file that cannot be opened is the title check's to report.
class NoQuestions : public RunQuestion {
 public:
  bool AskYesNo(const std::string&) override { return false; }
  void ShowMessage(const std::string&) override {}
};

}  // namespace

bool TitleNeedsRepair(const std::string& source, TvStandard standard, bool convertBefore, RunQuestion& questions,
                      std::string* note) {
  const std::string extension = ExtensionOf(source);
  const bool avi = EqualsNoCase(extension, "avi");
  const bool wmv = EqualsNoCase(extension, "wmv");
  // Asked first whatever the file's kind: a file that cannot be opened is reported here.
  const bool packs = DvdCompliance(source, questions);
  if (!packs || avi || wmv || convertBefore) return true;
  // Navigation packs alone do not make a title fit this disc: one of the other standard
  // (or with square pixels) would be authored into a title set that cannot play it.
  if (const std::string why = DvdPicturesProblem(source, standard); !why.empty()) {
    if (note) *note = FileNameOf(source) + ": " + why;
    return true;
  }
  return false;
}

TitleFrame TitleFrameOf(const std::string& source, TvStandard standard, const DiscTarget* repair) {
  const SubpictureGeometry disc = SubpictureGeometry::Of(standard, false);
  TitleFrame frame;
  frame.film = {0, 0, disc.width, disc.height};
  DvdTitleFacts facts;
  if (repair && DvdTitleFactsOf(source, standard, facts, *repair) && !facts.copied && facts.frameWidth > 0 &&
      facts.frameHeight > 0) {
    frame.encoded = true;
    frame.wide = facts.wide;
    // The encoder's frame is the disc's; a smaller one would be shown stretched over it.
    const PictureRect& p = facts.picture;
    frame.film = {p.x * disc.width / facts.frameWidth, p.y * disc.height / facts.frameHeight,
                  p.width * disc.width / facts.frameWidth, p.height * disc.height / facts.frameHeight};
    return frame;
  }
  frame.wide = ReadTitleFacts(source).displayShape == 3;
  return frame;
}

TitleMakingChoices TitleMakingChoicesOf(const AppSettings& settings) {
  return {settings.Standard(), settings.convertbefore, settings.audiocodec};
}

PlannedTitleFrame PlanTitleFrame(const std::string& source, const TitleMakingChoices& choices) {
  NoQuestions quiet;
  PlannedTitleFrame planned;
  planned.repaired = TitleNeedsRepair(source, choices.standard, choices.convertBefore, quiet);
  DiscTarget repair;
  repair.sound = RepairSoundFor(choices.audioCodec);
  planned.frame = TitleFrameOf(source, choices.standard, planned.repaired ? &repair : nullptr);
  if (planned.repaired) planned.picturesFrom = MediaLengthOf(source).picturesFrom;
  return planned;
}

}  // namespace vantrel
