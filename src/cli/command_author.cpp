// vantrel-author author: lays the given video files out as titles on menu pages and writes
// the run's scripts (the spumux script of every page and dvd.xml) into the work folder's
// TEMP folder.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "authoring/dvd_script_writer.h"
#include "authoring/run_folders.h"
#include "authoring/spumux_script_writer.h"
#include "base/app_folder.h"
#include "base/paths.h"
#include "cli/commands.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace {

using namespace vantrel;

constexpr const char* kUsage =
    "usage: vantrel-author author [options] VIDEO...\n"
    "  --work DIR      work folder (default: the temppath setting)\n"
    "  --pal, --ntsc   video standard (default: the resolution setting)\n"
    "  --layout N      menu layout style: 0 (6), 1 (8) or 2 (12 thumbnails per page)\n"
    "  --no-menu       a disc without a menu: playback runs through all titles\n"
    "  --scripts-only  lay out the menu and write the scripts, author nothing\n";

struct Options {
  std::vector<std::string> videos;
  bool scriptsOnly = false;
};

bool ParseArguments(int argc, char** argv, AppSettings& settings, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (arg == "--work") {
      const char* dir = value();
      if (!dir || !*dir) return false;
      settings.temppath = dir;
    } else if (arg == "--pal") {
      settings.resolution = 0;
    } else if (arg == "--ntsc") {
      settings.resolution = 1;
    } else if (arg == "--layout") {
      const char* n = value();
      if (!n || std::strlen(n) != 1 || n[0] < '0' || n[0] > '2') return false;
      settings.layout = n[0] - '0';
    } else if (arg == "--no-menu") {
      settings.createmenu = false;
    } else if (arg == "--scripts-only") {
      options.scriptsOnly = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "vantrel-author: unknown option %s\n", arg.c_str());
      return false;
    } else {
      options.videos.push_back(arg);
    }
  }
  return !options.videos.empty();
}

bool AddTitles(const std::vector<std::string>& videos, TitleList& titles) {
  for (const std::string& path : videos) {
    if (!FileExists(path)) {
      std::fprintf(stderr, "vantrel-author: cannot read %s\n", path.c_str());
      return false;
    }
    auto record = std::make_unique<TitleRecord>();
    record->SourcePath = path;
    record->DisplayTitle = StemOf(path);
    titles.AppendTitle(std::move(record), -1);
  }
  return true;
}

void PrintLayout(const MenuModel& model) {
  for (int i = 0; i < model.PageCount(); ++i) {
    const MenuPage& page = model.Page(i);
    std::printf("menu page %d:%s%s\n", page.Number, page.Previous ? " [Last]" : "",
                page.Next ? " [Next]" : "");
    for (const MenuEntry* entry : page.Titles) {
      const Rect& t = entry->ThumbnailRect;
      std::printf("  %2d. %-24s thumbnail %dx%d at (%d,%d)\n", entry->TitleNumber,
                  entry->Caption.c_str(), t.width, t.height, t.left, t.top);
    }
  }
}

bool WriteScripts(const MenuModel& model, const AppSettings& settings, const RunFolders& folders) {
  if (!MakeFolder(folders.intermediate)) {
    std::fprintf(stderr, "vantrel-author: cannot create %s\n", folders.intermediate.c_str());
    return false;
  }
  bool ok = true;
  if (settings.createmenu) {
    for (int i = 0; i < model.PageCount(); ++i) {
      const MenuPage& page = model.Page(i);
      ok = SpumuxScriptWriter::Write(page, folders.intermediate, settings.IsNtsc()) && ok;
      std::printf("wrote %s\n", SpumuxScriptWriter::ScriptPath(folders.intermediate, page.Number).c_str());
    }
  }
  DvdScriptInputs inputs{settings.createmenu, settings.IsNtsc(), folders.intermediate,
                         ApplicationFolder()};
  ok = DvdScriptWriter::Write(model, inputs) && ok;
  std::printf("wrote %s\n", DvdScriptWriter::ScriptPath(folders.intermediate).c_str());
  if (!ok) std::fprintf(stderr, "vantrel-author: could not write the scripts\n");
  return ok;
}

}  // namespace

namespace vantrel::cli {

int RunAuthor(int argc, char** argv) {
  AppSettings& settings = Settings();
  settings.Load();
  Options options;
  if (!ParseArguments(argc, argv, settings, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!options.scriptsOnly) {
    std::fputs("vantrel-author: authoring is not available yet; use --scripts-only\n", stderr);
    return 2;
  }
  TitleList titles;
  if (!AddTitles(options.videos, titles)) return 1;

  MenuModel model;
  model.Rebuild(titles, settings.layout, settings.IsNtsc());
  std::printf("%d titles on %d menu pages (%s, %s)\n", model.TitleCount(), model.PageCount(),
              LayoutStyleName(settings.layout), settings.IsNtsc() ? "NTSC" : "PAL");
  PrintLayout(model);
  RunFolders folders = RunFolders::For(settings.temppath, ApplicationFolder());
  return WriteScripts(model, settings, folders) ? 0 : 1;
}

}  // namespace vantrel::cli
