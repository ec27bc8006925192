// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/default_steps.h"

#include <memory>

#include "authoring/image_builder_fallback.h"
#include "authoring/menu_video_chain.h"
#include "authoring/still_movie_maker.h"
#include "authoring/title_harmony.h"
#include "authoring/title_check.h"
#include "authoring/title_length_memo.h"
#include "authoring/run_status.h"
#include "base/app_folder.h"
#include "base/run_cancel.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "convert/dvd_title_facts.h"
#include "media/media_probe.h"
#include "menu/menu_model.h"
#include "menu/menu_renderer.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel {
namespace {

// The front end the steps report to.
struct FrontEnd {
  RunStatus* status;
  RunQuestion* question;
  RunStatus& Status() const { return *status; }
  RunQuestion& Question() const { return *question; }
};

AuthoringSteps StepsFor(FrontEnd ui) {
  AuthoringSteps steps;
  steps.renderMenus = [](MenuModel& model, const TitleList& titles, const AppSettings& settings,
                         const RunFolders& folders) {
    MenuRenderer renderer(model, titles.Thumbnails(),
                          MenuRenderOptions::FromSettings(settings, folders.intermediate));
    for (int kind = kMenuBackground; kind <= kMenuSelectedButtons; ++kind) renderer.Render(kind);
    renderer.RenderFilmLayers();
  };
  steps.makeMenuVideos = [ui](MenuModel& model, AppSettings& settings, const RunFolders& folders) {
    MenuChainInputs inputs{folders.intermediate, folders.tool, ApplicationFolder(), settings.Standard(),
                           folders.intermediate + AuthoringDriver::kToolLogName,
                           RepairSoundFor(settings.audiocodec)};
    return MenuVideoChain::Run(model, inputs, settings, ui.Status(), ui.Question()) !=
           MenuChainResult::kStopRun;
  };
  steps.convertToDvdMpeg = [](const std::string& source, std::string& output, TvStandard standard,
                              const DiscTarget& target, RunStatus& status, int threads) {
    std::string reason;
    const bool done = ConvertToDvdMpeg(
        source, output, standard, target, [&status](int percent) { status.SetProgress(percent); }, &reason,
        threads);
    // A title stopped with the run (a cancel, another title's failure) has no failure of its own.
    if (!done && !reason.empty() && !CancelRequested()) status.ShowStatus(reason, 0, kStatusLogAndProgress, kStatusRed);
    return done;
  };
  steps.hasVideoStream = [](const std::string& path) { return HasVideoStream(path); };
  auto lengths = std::make_shared<TitleLengthMemo>([](const std::string& path) {
    const MediaLength length = MediaLengthOf(path);
    return TitleLength{length.seconds, length.picturesFrom};
  });
  steps.titleLength = [lengths](const std::string& path) { return (*lengths)(path); };
  steps.checkTitle = [](const std::string& path) { return TitleUnusableReason(path); };
  steps.fitFacts = [](const std::string& path, TvStandard standard, const DiscTarget& target, FitTitle& facts) {
    DvdTitleFacts title;
    if (!DvdTitleFactsOf(path, standard, title, target)) return false;
    facts.seconds = title.seconds;
    facts.pixelsPerSecond = title.pixelsPerSecond;
    facts.audioBitRate = title.audioBitRate;
    facts.ready = title.copied;
    facts.readyBytes = title.copiedBytes;
    return true;
  };
  steps.fallback = [ui](MenuModel& model, AppSettings& settings, const RunFolders& folders) {
    StillMovieMaker movieMaker;
    return RunImageBuilderFallback(model, settings, folders, &movieMaker, ui.Status(), ui.Question());
  };
  return steps;
}

}  // namespace

AuthoringSteps DefaultAuthoringSteps(RunStatus& status, RunQuestion& question) {
  return StepsFor({&status, &question});
}

}  // namespace vantrel
