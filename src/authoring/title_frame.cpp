// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/title_frame.h"

#include "authoring/dvd_compliance.h"
#include "authoring/run_status.h"
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
  return {settings.Standard(), settings.convertbefore, settings.audiocodec, settings.zoom};
}

HarmonyTitle AuthoredTitle(const std::string& source, const TitleMakingChoices& choices, RunQuestion& questions,
                           std::string* note) {
  const bool repair = TitleNeedsRepair(source, choices.standard, choices.convertBefore, questions, note);
  return {repair ? RepairedTitleFacts(source, choices.standard, RepairSoundFor(choices.audioCodec))
                 : ReadTitleFacts(source),
          repair};
}

PlannedTitleFrame PlanTitleFrame(const std::vector<std::string>& sources, size_t title,
                                 const TitleMakingChoices& choices) {
  PlannedTitleFrame planned;
  if (title >= sources.size()) return planned;
  NoQuestions quiet;
  std::vector<HarmonyTitle> authored;
  for (const std::string& source : sources) authored.push_back(AuthoredTitle(source, choices, quiet));
  const HarmonyPlan harmony = PlanTitleHarmony(authored, choices.zoom, RepairSoundFor(choices.audioCodec));
  planned.madeAnew = authored[title].repaired || harmony.Converts(title);
  // The target the run gives the title when it is made anew (its rate aside, which moves
  // no picture).
  planned.frame = TitleFrameOf(sources[title], choices.standard, planned.madeAnew ? &harmony.targets[title] : nullptr);
  if (planned.madeAnew) planned.picturesFrom = MediaLengthOf(sources[title]).picturesFrom;
  return planned;
}

}  // namespace vantrel
