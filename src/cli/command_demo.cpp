// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author demo: makes a few short clips of the kinds users bring (one AVI and one
// MPEG-1 file of a size no DVD takes, both to be repaired, and a DVD-ready title long
// enough for two chapters), authors them with a menu and tells what the disc holds.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/duration_text.h"
#include "base/paths.h"
#include "cli/commands.h"
#include "cli/console_status.h"
#include "cli/terminal_front_end.h"
#include "convert/demo_clips.h"
#include "jobs/authoring_job.h"
#include "media/add_titles.h"
#include "media/thumbnail_owner.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel::cli {
namespace {

constexpr const char* kUsage =
    "usage: vantrel-author demo [--work DIR] [--pal|--ntsc]\n"
    "Makes three demo clips in WORK/demo media/ and authors them with a menu into WORK/DVD.\n";

struct DemoClip {
  const char* name;
  DemoClipSpec spec;
};

std::vector<DemoClip> DemoClips(bool ntsc) {
  return {
      {"海边 日落.avi", {DemoClipKind::kAviMpeg4, 640, 480, false, 6, 0}},
      {"city lights 768x576.mpg", {DemoClipKind::kMpeg1Stream, 768, 576, false, 5, 3}},
      {"R&B 'live' 15 min.mpg",
       {DemoClipKind::kDvdStream, 720, ntsc ? 480 : 576, ntsc, 15 * 60 + 10, 5}},
  };
}

}  // namespace

int RunDemo(int argc, char** argv) {
  AppSettings& settings = Settings();
  settings.Load();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--work" && i + 1 < argc && *argv[i + 1]) {
      settings.temppath = argv[++i];
    } else if (arg == "--pal" || arg == "--ntsc") {
      settings.resolution = arg == "--ntsc" ? 1 : 0;
    } else {
      std::fputs(kUsage, arg == "--help" ? stdout : stderr);
      return arg == "--help" ? 0 : 2;
    }
  }
  settings.createmenu = true;
  const std::string media = settings.temppath + "/demo media/";
  if (!MakeFolder(media)) {
    std::fprintf(stderr, "vantrel-author: cannot create %s\n", media.c_str());
    return 1;
  }
  ConsoleThread thread;
  TitleList titles;
  std::vector<std::string> paths;
  for (const DemoClip& clip : DemoClips(settings.IsNtsc())) {
    const std::string path = media + clip.name;
    std::string error;
    if (!FileExists(path)) {
      std::printf("making %s\n", path.c_str());
      if (!MakeDemoClip(path, clip.spec, error)) {
        std::fprintf(stderr, "vantrel-author: %s\n", error.c_str());
        return 1;
      }
    }
    paths.push_back(path);
  }
  ThumbnailHost host;
  ConsoleAddTitlesView view;
  AddTitleFiles(titles, host, view, paths);

  TerminalFrontEnd ui(Answer::No);
  TerminalJobObserver observer(ui);
  AuthoringOptions run;
  run.settings = settings;
  AuthoringJob job(ProjectOf(titles, settings), std::move(run), observer);
  const JobResult result = job.Run();
  ui.Finish();
  if (!result.succeeded) {
    std::fprintf(stderr, "vantrel-author: the demo disc could not be authored; see %s\n",
                 job.ToolLogPath().c_str());
    return 1;
  }
  const MenuModel& model = job.Menu();
  const RunFolders& folders = job.Folders();
  const std::string videoTs = folders.output + "/VIDEO_TS";
  std::printf("\nThe demo DVD (%s, %d menu page%s) is in %s (%.1f MB):\n",
              settings.IsNtsc() ? "NTSC" : "PAL", model.PageCount(), model.PageCount() == 1 ? "" : "s",
              videoTs.c_str(), double(FolderSize(videoTs)) / 1048576.0);
  for (const auto& entry : model.Titles()) {
    std::printf("  title %d  %s, %s, %s\n", entry->TitleNumber, entry->Caption.c_str(),
                DurationText(titles.At(entry->TitleNumber - 1).Duration).c_str(),
                entry->RepairedPath.empty() ? "authored as it is"
                                            : ("repaired into " + FileNameOf(entry->RepairedPath)).c_str());
  }
  return 0;
}

}  // namespace vantrel::cli
