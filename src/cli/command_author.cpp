// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author author: adds the given video files as titles and runs the start run for
// the hard-disk target, printing the event log as the burn dialog shows it.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "authoring/chapter_menus.h"
#include "authoring/chapter_plan.h"
#include "authoring/before_run_checks.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/run_folders.h"
#include "authoring/run_timeline.h"
#include "authoring/spumux_script_writer.h"
#include "base/app_folder.h"
#include "base/paths.h"
#include "base/readable_file.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "cli/commands.h"
#include "cli/console_status.h"
#include "cli/interrupt.h"
#include "cli/recorders.h"
#include "cli/terminal_front_end.h"
#include "jobs/authoring_job.h"
#include "media/add_titles.h"
#include "media/project_titles.h"
#include "media/thumbnail_owner.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/disc_project.h"
#include "project/project_file.h"
#include "platform/foxburner/foxburner_ext.h"
#include "project/title_list.h"

namespace vantrel::cli {
namespace {

constexpr const char* kUsage =
    "usage: vantrel-author author [options] VIDEO...\n"
    "       vantrel-author author [options] PROJECT.vantrel [VIDEO...]\n"
    "Authors a DVD (a VIDEO_TS folder in WORK/DVD) from the video files, one title each,\n"
    "or from a project file's titles, menu and choices (options given here override them).\n"
    "  --work DIR          work folder (default: the temppath setting)\n"
    "  --pal, --ntsc       video standard (default: the resolution setting)\n"
    "  --menu, --no-menu   with or without a DVD menu (default: the createmenu setting)\n"
    "  --convert-before    convert every title, also DVD-compliant ones\n"
    "  --dvd5, --dvd9      the disc the titles are planned to fill (default: the\n"
    "                      disccapacity setting)\n"
    "  --disc-sectors N    plan for a disc of N sectors of 2048 bytes instead\n"
    "                      (712891 for an 8 cm DVD)\n"
    "  --layout N          menu layout: 0 (6), 1 (8) or 2 (12 thumbnails per page)\n"
    "  --shape 4:3|16:9    the disc's picture shape when its titles differ (default: the zoom setting)\n"
    "  --sound mp2|ac3     the sound of repaired titles: MPEG Layer II or AC-3 (default: the\n"
    "                      audiocodec setting)\n"
    "  --header TEXT       the menu's header text\n"
    "  --footer TEXT       the menu's footer text\n"
    "  --background FILE   the menu's background picture\n"
    "  --chapter-menus     a chapter page for each title of more than one chapter, reached\n"
    "                      from its button; each chapter's button plays the title from there\n"
    "  --play-all          a play-all button on the first menu page; each title's own\n"
    "                      button then plays it alone and returns to its page\n"
    "  --motion            each title's menu button shows its title playing, from its\n"
    "                      thumbnail frame on\n"
    "  --menu-seconds S    the length of a moving menu, 1 to 120 (default 10)\n"
    "  --menu-video FILE   a video under the menu pages (started again when it is shorter)\n"
    "  --menu-music FILE   music for the menu pages, cut to their length and faded out\n"
    "  --menu-hold         a moving menu stays on its last picture instead of starting again\n"
    "                      (any of these five replaces a project's moving-menu choices)\n"
    "  --yes, --no         the answer to every question of the run (default: ask)\n"
    "  --device LETTER     write the disc to that recorder (see 'vantrel-author devices')\n"
    "  --scripts-only      lay out the menu and write the scripts, author nothing\n"
    "  --save-project FILE save the titles, menu and choices as a project file first\n"
    "Defaults come from Settings.ini; this command never changes it.\n";

struct Options {
  std::vector<std::string> videos;
  std::optional<std::string> project, saveProject;
  bool scriptsOnly = false;
  Answer answer = Answer::Ask;
  std::optional<std::string> header, footer, background, device;
  MenuChoices choices;
  bool motionGiven = false;  // a moving-menu option was given
  long long discSectors = 0;
};

// One line on what is wrong with the command line; the exit status of bad usage.
int BadUsage(const std::string& why) {
  std::fprintf(stderr, "vantrel-author author: %s ('vantrel-author author --help' shows the options)\n", why.c_str());
  return 2;
}

// 0 parsed, otherwise the exit status to end with (-1: the help was asked for).
int ParseArguments(int argc, char** argv, AppSettings& settings, Options& options) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string text;
    auto needsValue = [&] { return BadUsage(arg + " needs a value"); };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return -1;
    } else if (arg == "--work") {
      if (!value(text)) return needsValue();
      if (text.empty()) return BadUsage("--work needs a folder, not an empty text");
      settings.temppath = text;
    } else if (arg == "--pal" || arg == "--ntsc") {
      settings.resolution = arg == "--ntsc" ? 1 : 0;
    } else if (arg == "--menu" || arg == "--no-menu") {
      settings.createmenu = arg == "--menu";
    } else if (arg == "--dvd5" || arg == "--dvd9") {
      settings.disccapacity = arg == "--dvd9" ? 1 : 0;
    } else if (arg == "--disc-sectors") {
      if (!value(text)) return needsValue();
      char* end = nullptr;
      if ((options.discSectors = std::strtoll(text.c_str(), &end, 10)) <= 0 || *end || end == text.c_str())
        return BadUsage("--disc-sectors must be a whole number of sectors above 0, not " + text);
    } else if (arg == "--convert-before") {
      settings.convertbefore = true;
    } else if (arg == "--layout") {
      if (!value(text)) return needsValue();
      if (text.size() != 1 || text[0] < '0' || text[0] > '2') return BadUsage("--layout must be 0, 1 or 2, not " + text);
      settings.layout = text[0] - '0';
    } else if (arg == "--sound") {
      if (!value(text)) return needsValue();
      if (text != "mp2" && text != "ac3") return BadUsage("--sound must be mp2 or ac3, not " + text);
      settings.audiocodec = text == "ac3" ? 3 : 1;
    } else if (arg == "--shape") {
      if (!value(text)) return needsValue();
      if (text != "4:3" && text != "16:9") return BadUsage("--shape must be 4:3 or 16:9, not " + text);
      settings.zoom = text == "16:9" ? 1 : 0;
    } else if (arg == "--header") {
      if (!value(text)) return needsValue();
      options.header = text;
    } else if (arg == "--footer") {
      if (!value(text)) return needsValue();
      options.footer = text;
    } else if (arg == "--play-all") {
      options.choices.playAll = true;
    } else if (arg == "--chapter-menus") {
      options.choices.chapterMenus = true;
    } else if (arg == "--motion") {
      options.choices.motion.thumbnails = options.motionGiven = true;
    } else if (arg == "--menu-seconds") {
      if (!value(text)) return needsValue();
      char* end = nullptr;
      const double seconds = std::strtod(text.c_str(), &end);
      if (end == text.c_str() || *end || !(seconds >= MenuMotion::kMinSeconds && seconds <= MenuMotion::kMaxSeconds))
        return BadUsage("--menu-seconds must be a number of seconds from 1 to 120, not " + text);
      options.choices.motion.seconds = seconds;
      options.motionGiven = true;
    } else if (arg == "--menu-video" || arg == "--menu-music") {
      if (!value(text)) return needsValue();
      if (text.empty()) return BadUsage(arg + " needs a file name, not an empty text");
      (arg == "--menu-video" ? options.choices.motion.backgroundVideo : options.choices.motion.music) = text;
      options.motionGiven = true;
    } else if (arg == "--menu-hold") {
      options.choices.motion.loop = false;
      options.motionGiven = true;
    } else if (arg == "--background") {
      if (!value(text)) return needsValue();
      options.background = text;
    } else if (ParseAnswer(arg, options.answer)) {
    } else if (arg == "--device") {
      if (!value(text)) return needsValue();
      options.device = text;
    } else if (arg == "--save-project") {
      if (!value(text)) return needsValue();
      if (text.empty()) return BadUsage("--save-project needs a file name, not an empty text");
      options.saveProject = text;
    } else if (arg == "--scripts-only") {
      options.scriptsOnly = true;
    } else if (arg.rfind("--", 0) == 0) {
      return BadUsage("unknown option " + arg);
    } else if (IsProjectFileName(arg)) {
      if (options.project && *options.project != arg) return BadUsage("one project file at a time, not " + arg);
      options.project = arg;
    } else {
      options.videos.push_back(arg);
    }
  }
  return options.videos.empty() && !options.project ? BadUsage("no video files were named") : 0;
}

bool AddTitles(const std::vector<std::string>& videos, TitleList& titles) {
  // The run works from the tool folder: relative names are taken from here first.
  std::vector<std::string> paths;
  for (const std::string& path : videos) {
    std::error_code ec;
    paths.push_back(std::filesystem::absolute(path, ec).string());
    if (const std::string why = UnreadableFileReason(paths.back()); !why.empty()) {
      std::fprintf(stderr, "vantrel-author: %s\n", Format(Tr("无法使用标题 %s: %s"), path.c_str(), why.c_str()).c_str());
      return false;
    }
  }
  ThumbnailHost host;
  ConsoleAddTitlesView view;
  AddTitleFiles(titles, host, view, paths);
  return true;
}

// The project's titles as the run takes them: each file probed, with its caption, tracks
// and the thumbnail of the frame the project shows (a project file keeps no pictures).
bool AddProjectTitles(const DiscProject& project, TitleList& titles) {
  for (const ProjectTitle& title : project.titles) {
    if (const std::string why = UnreadableFileReason(title.source); !why.empty()) {
      std::fprintf(stderr, "vantrel-author: %s\n", Format(Tr("无法使用标题 %s: %s"), title.source.c_str(), why.c_str()).c_str());
      return false;
    }
  }
  ThumbnailHost host;
  ConsoleAddTitlesView view;
  AddProjectTitleFiles(titles, host, view, project.titles);
  return true;
}

// The project file named on the command line, or why it cannot be used.
std::optional<DiscProject> OpenProject(const std::string& path) {
  ProjectRead read = ReadProjectFile(path);
  if (!read.opened) {
    std::fprintf(stderr, "vantrel-author: %s\n", read.error.c_str());
    return std::nullopt;
  }
  for (const std::string& note : read.notes) std::fprintf(stderr, "vantrel-author: %s: %s\n", path.c_str(), note.c_str());
  if (!read.missing.empty()) {
    for (int i : read.missing)
      std::fprintf(stderr, "vantrel-author: %s: %s\n", path.c_str(),
                   Format(Tr("标题 %d 的文件不在了: %s"), i + 1, read.project.titles[size_t(i)].source.c_str()).c_str());
    return std::nullopt;
  }
  return std::move(read.project);
}

void PrintLayout(const MenuModel& model) {
  for (int i = 0; i < model.PageCount(); ++i) {
    const MenuPage& page = model.Page(i);
    std::printf("menu page %d:%s%s%s\n", page.Number, page.Previous ? " [Last]" : "",
                page.Next ? " [Next]" : "", page.Back ? Format(" [chapters of title %d]", page.ChaptersOf).c_str() : "");
    for (const MenuEntry* entry : page.Titles) {
      const Rect& t = entry->ThumbnailRect;
      std::printf("  %2d. %-24s thumbnail %dx%d at (%d,%d)\n", entry->Chapter > 0 ? entry->Chapter : entry->TitleNumber,
                  entry->Caption.c_str(), t.width, t.height, t.left, t.top);
    }
  }
}

int WriteScriptsOnly(const TitleList& titles, const AppSettings& settings, const MenuChoices& choices) {
  MenuModel model;
  model.Choices() = choices;
  model.Rebuild(titles, settings.layout, settings.IsNtsc());
  // With chapter pages the titles get the chapters the pages show.
  std::vector<std::vector<double>> starts;
  if (std::string why;
      settings.createmenu && choices.chapterMenus && !AddTitleChapterMenus(model, titles, false, why, &starts)) {
    std::fprintf(stderr, "vantrel-author: %s\n", why.c_str());
    return 1;
  }
  std::printf("%d titles on %d menu pages (%s, %s)\n", model.TitleCount(), model.PageCount(),
              LayoutStyleName(settings.layout), settings.IsNtsc() ? "NTSC" : "PAL");
  PrintLayout(model);
  RunFolders folders = RunFolders::For(settings.temppath, ApplicationFolder());
  if (const std::string why = RunFoldersProblem(folders); !why.empty()) {
    std::fprintf(stderr, "vantrel-author: %s\n", why.c_str());
    return 1;
  }
  if (!MakeFolder(folders.intermediate)) {
    std::fprintf(stderr, "vantrel-author: cannot create %s\n", folders.intermediate.c_str());
    return 1;
  }
  bool ok = true;
  if (settings.createmenu) {
    for (int i = 0; i < model.PageCount(); ++i) {
      ok = SpumuxScriptWriter::Write(model.Page(i), folders.intermediate, settings.Standard()) && ok;
      std::printf("wrote %s\n",
                  SpumuxScriptWriter::ScriptPath(folders.intermediate, i + 1).c_str());
    }
  }
  DvdScriptInputs inputs{settings.createmenu, settings.Standard(), folders.intermediate,
                         ApplicationFolder()};
  std::vector<DvdTitleTracks> tracks(starts.size());
  for (std::size_t i = 0; i < starts.size(); ++i) tracks[i].chapters = ChaptersText(starts[i]);
  ok = DvdScriptWriter::Write(model, inputs, tracks) && ok;
  std::printf("wrote %s\n", DvdScriptWriter::ScriptPath(folders.intermediate).c_str());
  if (!ok) std::fprintf(stderr, "vantrel-author: could not write the scripts\n");
  return ok ? 0 : 1;
}

int Author(const TitleList& titles, const AppSettings& settings, const Options& options, const MenuAppearance& look) {
  TerminalFrontEnd ui(options.answer);
  TerminalJobObserver observer(ui);
  AuthoringOptions run;
  run.settings = settings;
  run.choices = options.choices;
  if (options.device) run.recorder = *options.device;
  run.discSectors = options.discSectors;
  AuthoringJob job(ProjectOf(titles, settings, look), std::move(run), observer);
  // Ctrl+C or SIGTERM stops the run (or the disc write) cleanly.
  std::optional<InterruptWatch> interrupt;
  interrupt.emplace();
  job.Start();
  bool cancelled = false;
  while (!job.Wait(100)) {
    if (interrupt && interrupt->Interrupted() && !cancelled) {
      job.Cancel();
      cancelled = true;
    }
  }
  ui.Finish();
  const JobResult result = job.Result();
  if (job.Authored()) std::printf("VIDEO_TS: %s/VIDEO_TS\n", job.Folders().output.c_str());
  if (result.succeeded && options.device) {
    char digest[80] = "";
    GetLastWriteDigest(digest, sizeof digest);
    std::printf("written and read back: sha256 %s\n", digest);
  }
  return ExitStatusOf(result, interrupt ? interrupt->Signal() : 0);
}

}  // namespace

int RunAuthor(int argc, char** argv) {
  AppSettings& settings = Settings();
  settings.Load();
  Options options;
  if (int rc = ParseArguments(argc, argv, settings, options); rc != 0) return rc < 0 ? 0 : rc;
  ConsoleThread thread;
  TimelineMark("titles loading");
  TitleList titles;
  MenuAppearance look = MenuModel().Appearance();
  if (options.project) {
    std::optional<DiscProject> project = OpenProject(*options.project);
    if (!project) return 1;
    // The project's choices, then what the command line says over them.
    ApplyProjectChoices(*project, settings);
    look = project->menu.look;
    if (project->menu.playAll) options.choices.playAll = true;
    if (project->menu.chapterMenus) options.choices.chapterMenus = true;
    if (!options.motionGiven) options.choices.motion = project->menu.motion;
    Options again;
    ParseArguments(argc, argv, settings, again);
    if (!AddProjectTitles(*project, titles)) return 1;
  }
  if (!AddTitles(options.videos, titles)) return 1;
  TimelineMark("titles loaded");
  if (options.header) look.headerText = *options.header;
  if (options.footer) look.footerText = *options.footer;
  if (options.background) look.backgroundPicture = *options.background;
  if (options.saveProject) {
    std::string why;
    DiscProject given = ProjectOf(titles, settings, look);
    given.menu.playAll = options.choices.playAll;
    given.menu.chapterMenus = options.choices.chapterMenus;
    given.menu.motion = options.choices.motion;
    if (!WriteProjectFile(given, *options.saveProject, why)) {
      std::fprintf(stderr, "vantrel-author: %s\n", why.c_str());
      return 1;
    }
    std::printf("project: %s\n", options.saveProject->c_str());
  }
  return options.scriptsOnly ? WriteScriptsOnly(titles, settings, options.choices)
                             : Author(titles, settings, options, look);
}

}  // namespace vantrel::cli
