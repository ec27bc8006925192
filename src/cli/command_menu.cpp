// SPDX-License-Identifier: GPL-3.0-or-later
// vantrel-author menu: renders the menu pages of the given videos and turns them into
// menu streams with the real tools, in the work folder's TEMP folder.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "authoring/before_run_checks.h"
#include "authoring/chapter_menus.h"
#include "authoring/menu_video_chain.h"
#include "authoring/run_folders.h"
#include "authoring/toolset.h"
#include "base/app_folder.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/readable_file.h"
#include "base/translation.h"
#include "cli/commands.h"
#include "cli/console_status.h"
#include "cli/terminal_front_end.h"
#include "menu/menu_appearance.h"
#include "menu/menu_model.h"
#include "menu/menu_renderer.h"
#include "menu/picture_loader.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "authoring/title_harmony.h"
#include "authoring/motion_menu.h"

namespace {

using namespace vantrel;

constexpr const char* kUsage =
    "usage: vantrel-author menu [options] VIDEO...\n"
    "  --work DIR         work folder (default: the temppath setting)\n"
    "  --pal, --ntsc      video standard (default: the resolution setting)\n"
    "  --layout N         menu layout style: 0 (6), 1 (8) or 2 (12 thumbnails per page)\n"
    "  --background PIC   background picture (bmp jpg gif png ico tif tga pcx wmf)\n"
    "  --header TEXT      header text (default \"%s\")\n"
    "  --footer TEXT      footer text\n"
    "  --chapter-menus    a chapter page for each title of more than one chapter\n"
    "  --motion           each title's button shows its title playing\n"
    "  --menu-seconds S   the length of a moving menu, 1 to 120 (default 10)\n"
    "  --menu-video FILE  a video under the pages\n"
    "  --menu-music FILE  music for the pages, cut to their length and faded out\n"
    "  --images-only      render the menu images, make no streams\n"
    "  --yes, --no        answer to \"go on without a menu?\" (default: ask on a terminal)\n"
    "A picture named like a video (same folder and stem, .png/.jpg/.bmp) is its thumbnail.\n";

// The usage names the default header in the user's language.
std::string Usage() { return Format(kUsage, MenuAppearance().headerText.c_str()); }

struct Options {
  std::vector<std::string> videos;
  bool imagesOnly = false;
  cli::Answer answer = cli::Answer::Ask;
};

bool ParseArguments(int argc, char** argv, AppSettings& settings, MenuAppearance& look,
                    MenuChoices& choices, Options& options) {
  MenuMotion& motion = choices.motion;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (arg == "--work" || arg == "--background" || arg == "--header" || arg == "--footer") {
      const char* v = value();
      if (!v || (arg == "--work" && !*v)) return false;
      if (arg == "--work") settings.temppath = v;
      if (arg == "--background") look.backgroundPicture = v;
      if (arg == "--header") look.headerText = v;
      if (arg == "--footer") look.footerText = v;
    } else if (arg == "--pal" || arg == "--ntsc") {
      settings.resolution = arg == "--ntsc" ? 1 : 0;
    } else if (arg == "--layout") {
      const char* n = value();
      if (!n || std::strlen(n) != 1 || n[0] < '0' || n[0] > '2') return false;
      settings.layout = n[0] - '0';
    } else if (arg == "--chapter-menus") {
      choices.chapterMenus = true;
    } else if (arg == "--motion") {
      motion.thumbnails = true;
    } else if (arg == "--menu-seconds") {
      const char* n = value();
      char* end = nullptr;
      const double seconds = n ? std::strtod(n, &end) : 0;
      if (!n || end == n || *end || !(seconds >= MenuMotion::kMinSeconds && seconds <= MenuMotion::kMaxSeconds))
        return false;
      motion.seconds = seconds;
    } else if (arg == "--menu-video" || arg == "--menu-music") {
      const char* v = value();
      if (!v || !*v) return false;
      (arg == "--menu-video" ? motion.backgroundVideo : motion.music) = v;
    } else if (arg == "--images-only") {
      options.imagesOnly = true;
    } else if (arg == "--yes" || arg == "--no") {
      cli::ParseAnswer(arg, options.answer);
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(Usage().c_str(), stdout);
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

// The title's thumbnail from a picture beside the video; an empty image when there is none.
RgbImage ThumbnailBeside(const std::string& video) {
  const std::string stem = FolderOf(video) + StemOf(video);
  for (const char* ext : {".png", ".jpg", ".bmp"}) {
    Picture picture;
    auto format = PictureFormatForPath(stem + ext);
    if (!FileExists(stem + ext) || !LoadPicture(stem + ext, *format, picture)) continue;
    RgbImage image(picture.width, picture.height);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
      image.pixels[i * 3] = std::uint8_t(picture.pixels[i] >> 16);
      image.pixels[i * 3 + 1] = std::uint8_t(picture.pixels[i] >> 8);
      image.pixels[i * 3 + 2] = std::uint8_t(picture.pixels[i]);
    }
    return image;
  }
  return RgbImage();
}

bool AddTitles(const std::vector<std::string>& videos, TitleList& titles) {
  for (const std::string& path : videos) {
    if (const std::string why = UnreadableFileReason(path); !why.empty()) {
      std::fprintf(stderr, "vantrel-author: %s\n", Format(Tr("无法使用标题 %s: %s"), path.c_str(), why.c_str()).c_str());
      return false;
    }
    auto record = std::make_unique<TitleRecord>();
    record->SourcePath = path;
    record->DisplayTitle = StemOf(path);
    RgbImage thumbnail = ThumbnailBeside(path);
    int index = thumbnail.Empty() ? -1 : titles.Thumbnails().Add(thumbnail);
    titles.AppendTitle(std::move(record), index);
  }
  return true;
}

}  // namespace

namespace vantrel::cli {

int RunMenu(int argc, char** argv) {
  AppSettings& settings = Settings();
  settings.Load();
  MenuModel model;
  Options options;
  if (!ParseArguments(argc, argv, settings, model.Appearance(), model.Choices(), options)) {
    std::fputs(Usage().c_str(), stderr);
    return 2;
  }
  const std::string& picture = model.Appearance().backgroundPicture;
  if (const std::string why = picture.empty() ? "" : PictureUnusableReason(picture); !why.empty()) {
    std::fprintf(stderr, "vantrel-author: %s\n", Format(Tr("无法使用菜单背景图片 %s: %s"), picture.c_str(), why.c_str()).c_str());
    return 1;
  }
  if (const std::string why = MenuMotionProblem(model.Choices().motion); !why.empty()) {
    std::fprintf(stderr, "vantrel-author: %s\n", why.c_str());
    return 1;
  }
  TitleList titles;
  if (!AddTitles(options.videos, titles)) return 1;
  model.Rebuild(titles, settings.layout, settings.IsNtsc());
  if (std::string why; model.Choices().chapterMenus && !AddTitleChapterMenus(model, titles, true, why)) {
    std::fprintf(stderr, "vantrel-author: %s\n", why.c_str());
    return 1;
  }

  RunFolders folders = RunFolders::For(settings.temppath, ApplicationFolder());
  if (const std::string why = RunFoldersProblem(folders); !why.empty()) {
    std::fprintf(stderr, "vantrel-author: %s\n", why.c_str());
    return 1;
  }
  if (!MakeFolder(folders.intermediate)) {
    std::fprintf(stderr, "vantrel-author: cannot create %s\n", folders.intermediate.c_str());
    return 1;
  }
  MenuRenderer renderer(model, titles.Thumbnails(),
                        MenuRenderOptions::FromSettings(settings, folders.intermediate));
  bool rendered = true;
  for (int kind = kMenuBackground; kind <= kMenuSelectedButtons; ++kind)
    rendered = renderer.Render(kind) && rendered;
  rendered = renderer.RenderFilmLayers() && rendered;
  std::printf("%d menu pages rendered into %s (%s)\n", model.PageCount(), folders.intermediate.c_str(),
              settings.IsNtsc() ? "NTSC" : "PAL");
  if (!rendered) {
    std::fprintf(stderr, "vantrel-author: could not write the menu images\n");
    return 1;
  }
  if (options.imagesOnly) return 0;

  ToolSet tools(folders.tool);
  if (!tools.Write()) {
    std::fprintf(stderr, "vantrel-author: cannot write the tool set into %s\n", folders.tool.c_str());
    return 1;
  }
  TerminalFrontEnd ui(options.answer);
  // The tools' chatter goes to a log beside the menus, as in a run, not to the terminal.
  const std::string toolLog = folders.intermediate + "tools.log";
  MenuChainInputs inputs{folders.intermediate, folders.tool, ApplicationFolder(), settings.Standard(), toolLog,
                         RepairSoundFor(settings.audiocodec)};
  MenuChainResult result = MenuVideoChain::Run(model, inputs, settings, ui, ui);
  tools.Remove();
  if (result == MenuChainResult::kMenusMade) {
    for (int i = 0; i < model.PageCount(); ++i)
      std::printf("wrote %s\n", MenuVideoChain::MenuStreamPath(folders.intermediate, i + 1).c_str());
    return 0;
  }
  std::fprintf(stderr, "vantrel-author: the menu streams could not be made; the tools' output is in %s\n",
               toolLog.c_str());
  return 1;
}

}  // namespace vantrel::cli
