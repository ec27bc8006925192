#include "authoring/default_steps.h"

#include "authoring/image_builder_fallback.h"
#include "authoring/menu_video_chain.h"
#include "authoring/still_movie_maker.h"
#include "authoring/run_status.h"
#include "base/app_folder.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "convert/dvd_title_facts.h"
#include "media/media_probe.h"
#include "menu/menu_model.h"
#include "menu/menu_renderer.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel {

AuthoringSteps DefaultAuthoringSteps() {
  AuthoringSteps steps;
  steps.renderMenus = [](MenuModel& model, const TitleList& titles, const AppSettings& settings,
                         const RunFolders& folders) {
    MenuRenderer renderer(model, titles.Thumbnails(),
                          MenuRenderOptions::FromSettings(settings, folders.intermediate));
    for (int kind = kMenuBackground; kind <= kMenuSelectedButtons; ++kind) renderer.Render(kind);
  };
  steps.makeMenuVideos = [](MenuModel& model, AppSettings& settings, const RunFolders& folders) {
    MenuChainInputs inputs{folders.intermediate, folders.tool, ApplicationFolder(), settings.IsNtsc()};
    return MenuVideoChain::Run(model, inputs, settings, CurrentRunStatus(), CurrentRunQuestion()) !=
           MenuChainResult::kStopRun;
  };
  steps.convertToDvdMpeg = [](const std::string& source, std::string& output, bool ntsc,
                              int videoBitRate) {
    std::string reason;
    const bool done = ConvertToDvdMpeg(
        source, output, ntsc, [](int percent) { CurrentRunStatus().SetProgress(percent); }, &reason,
        videoBitRate);
    if (!done && !reason.empty())
      CurrentRunStatus().ShowStatus(reason, 0, kStatusLogAndProgress, kStatusRed);
    return done;
  };
  steps.hasVideoStream = [](const std::string& path) { return HasVideoStream(path); };
  steps.fitFacts = [](const std::string& path, bool ntsc, FitTitle& facts) {
    DvdTitleFacts title;
    if (!DvdTitleFactsOf(path, ntsc, title)) return false;
    facts.seconds = title.seconds;
    facts.pixelsPerSecond = title.pixelsPerSecond;
    facts.audioBitRate = title.audioBitRate;
    facts.ready = title.copied;
    return true;
  };
  steps.fallback = [](MenuModel& model, AppSettings& settings, const RunFolders& folders) {
    StillMovieMaker movieMaker;
    return RunImageBuilderFallback(model, settings, folders, &movieMaker);
  };
  return steps;
}

}  // namespace vantrel
